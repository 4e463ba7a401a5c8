#include "tds_writer.h"

#include <cstdio>
#include <cstring>

#include "models/chunk_ids.h"

void ChunkWriter::begin(uint16_t id) {
  open.push_back(bytes.size());
  u16(id);
  u32(0);
}

void ChunkWriter::end() {
  const size_t start = open.back();
  open.pop_back();
  const uint32_t length = uint32_t(bytes.size() - start);
  for (int i = 0; i < 4; ++i) bytes[start + 2 + size_t(i)] = uint8_t(length >> (8 * i));
}

void ChunkWriter::u8(uint8_t value) { bytes.push_back(value); }

void ChunkWriter::u16(uint16_t value) {
  bytes.push_back(uint8_t(value));
  bytes.push_back(uint8_t(value >> 8));
}

void ChunkWriter::u32(uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

void ChunkWriter::f32(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  u32(bits);
}

void ChunkWriter::text(const std::string& value) {
  bytes.insert(bytes.end(), value.begin(), value.end());
  bytes.push_back(0);
}

int ModelMesh::addVertex(float x, float y, float z, float u, float v) {
  xyz.insert(xyz.end(), {x, y, z});
  uv.insert(uv.end(), {u, v});
  return vertexCount() - 1;
}

void ModelMesh::addTriangle(int a, int b, int c) {
  faces.insert(faces.end(), {uint16_t(a), uint16_t(b), uint16_t(c)});
}

namespace {

void writeColour(ChunkWriter& w, uint16_t id, const float rgb[3]) {
  w.begin(id);
  w.begin(kChunkColour24);
  for (int i = 0; i < 3; ++i) {
    const float c = rgb[i] < 0 ? 0 : (rgb[i] > 1 ? 1 : rgb[i]);
    w.u8(uint8_t(c * 255.0f + 0.5f));
  }
  w.end();
  w.end();
}

void writeMap(ChunkWriter& w, uint16_t id, const std::string& file) {
  w.begin(id);
  w.begin(kChunkPercentInt);
  w.u16(100);
  w.end();
  w.begin(kChunkMapFileName);
  w.text(file);
  w.end();
  w.end();
}

void writeMaterial(ChunkWriter& w, const ModelMaterial& m) {
  w.begin(kChunkMaterialEntry);
  w.begin(kChunkMaterialName);
  w.text(m.name);
  w.end();
  const float ambient[3] = {m.diffuse[0] * 0.2f, m.diffuse[1] * 0.2f, m.diffuse[2] * 0.2f};
  writeColour(w, kChunkMaterialAmbient, ambient);
  writeColour(w, kChunkMaterialDiffuse, m.diffuse);
  writeColour(w, kChunkMaterialSpecular, m.specular);
  if (!m.textureFile.empty()) writeMap(w, kChunkTextureMap, m.textureFile);
  if (!m.reflectionFile.empty()) writeMap(w, kChunkReflectionMap, m.reflectionFile);
  w.end();
}

void writeMesh(ChunkWriter& w, const ModelMesh& mesh) {
  const int n = mesh.vertexCount();
  const int m = int(mesh.faces.size() / 3);
  w.begin(kChunkNamedObject);
  w.text(mesh.name);
  w.begin(kChunkTriangleMesh);

  w.begin(kChunkVertexList);
  w.u16(uint16_t(n));
  for (float c : mesh.xyz) w.f32(c);
  w.end();

  if (!mesh.uv.empty()) {
    w.begin(kChunkMappingList);
    w.u16(uint16_t(mesh.uv.size() / 2));
    for (float c : mesh.uv) w.f32(c);
    w.end();
  }

  w.begin(kChunkLocalAxes);
  const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  for (float c : axes) w.f32(c);
  w.end();

  w.begin(kChunkFaceList);
  w.u16(uint16_t(m));
  for (int f = 0; f < m; ++f) {
    for (int k = 0; k < 3; ++k) w.u16(mesh.faces[size_t(f) * 3 + size_t(k)]);
    w.u16(0x0007);  // all three edges visible
  }
  if (!mesh.material.empty()) {
    w.begin(kChunkFaceMaterial);
    w.text(mesh.material);
    w.u16(uint16_t(m));
    for (int f = 0; f < m; ++f) w.u16(uint16_t(f));
    w.end();
  }
  w.begin(kChunkSmoothing);
  for (int f = 0; f < m; ++f) {
    w.u32(mesh.smoothing.empty() ? 1u : mesh.smoothing[size_t(f)]);
  }
  w.end();
  w.end();  // face list

  w.end();  // triangle mesh
  w.end();  // named object
}

void writeKeyframer(ChunkWriter& w, const ModelFile& model) {
  w.begin(kChunkKeyframer);
  w.begin(kChunkKeyframeHeader);
  w.u16(5);
  w.text("MAXSCENE");
  w.u32(100);
  w.end();
  for (size_t i = 0; i < model.meshes.size(); ++i) {
    w.begin(kChunkKeyframeMeshInfo);
    w.begin(kChunkKeyframeHierarchy);
    w.u16(uint16_t(i));
    w.end();
    w.begin(kChunkKeyframeObjectName);
    w.text(model.meshes[i].name);
    w.u16(0);
    w.u16(0);
    w.u16(0xFFFF);
    w.end();
    w.end();
  }
  w.end();
}

}  // namespace

std::vector<uint8_t> encode3ds(const ModelFile& model) {
  ChunkWriter w;
  w.begin(kChunkMain);
  w.begin(kChunkVersion);
  w.u32(3);
  w.end();
  w.begin(kChunkEditor);
  w.begin(kChunkMeshVersion);
  w.u32(3);
  w.end();
  for (const ModelMaterial& material : model.materials) writeMaterial(w, material);
  w.begin(kChunkMasterScale);
  w.f32(1.0f);
  w.end();
  for (const ModelMesh& mesh : model.meshes) writeMesh(w, mesh);
  w.end();  // editor
  writeKeyframer(w, model);
  w.end();  // main
  return w.bytes;
}

bool write3ds(const std::string& path, const ModelFile& model) {
  const std::vector<uint8_t> bytes = encode3ds(model);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}
