// Chunk ids of the 3DS file format, as read by the loader and written by the
// asset tool.
#pragma once
#include <cstdint>

enum ChunkId : uint16_t {
  kChunkMain = 0x4D4D,
  kChunkVersion = 0x0002,
  kChunkColourFloat = 0x0010,
  kChunkColour24 = 0x0011,
  kChunkPercentInt = 0x0030,
  kChunkEditor = 0x3D3D,
  kChunkMeshVersion = 0x3D3E,
  kChunkMasterScale = 0x0100,
  kChunkNamedObject = 0x4000,
  kChunkTriangleMesh = 0x4100,
  kChunkVertexList = 0x4110,
  kChunkFaceList = 0x4120,
  kChunkFaceMaterial = 0x4130,
  kChunkMappingList = 0x4140,
  kChunkSmoothing = 0x4150,
  kChunkLocalAxes = 0x4160,
  kChunkLight = 0x4600,
  kChunkSpotlight = 0x4610,
  kChunkCamera = 0x4700,
  kChunkMaterialEntry = 0xAFFF,
  kChunkMaterialName = 0xA000,
  kChunkMaterialAmbient = 0xA010,
  kChunkMaterialDiffuse = 0xA020,
  kChunkMaterialSpecular = 0xA030,
  kChunkTextureMap = 0xA200,
  kChunkReflectionMap = 0xA220,
  kChunkMapFileName = 0xA300,
  kChunkKeyframer = 0xB000,
  kChunkKeyframeHeader = 0xB00A,
  kChunkKeyframeMeshInfo = 0xB002,
  kChunkKeyframeObjectName = 0xB010,
  kChunkKeyframeHierarchy = 0xB030,
};
