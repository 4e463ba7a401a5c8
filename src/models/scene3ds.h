// Scene3ds: the triangle meshes one scene draws, loaded from 3DS files into a
// fixed-capacity table, and the fixed-function renderer that draws them.
//
// Loading appends: every load puts the file's meshes behind those already
// held, so a scene notes meshCount before a load to know which indices it
// filled. Files are converted on load with (x, y, z) -> (x, -z, y).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "math/vector3.h"
#include "math/view_camera.h"

struct LightShafts;

// Sets one of a mesh's RGBA material colours, opaque.
inline void setMaterialColour(float* colour, float r, float g, float b) {
  colour[0] = r;
  colour[1] = g;
  colour[2] = b;
  colour[3] = 1.0f;
}

struct Mesh3ds {
  int32_t vertexCount = 0;
  int32_t faceCount = 0;

  // Per vertex.
  std::vector<Vector3> positions;
  std::vector<Vector3> normals;
  std::vector<Vector3> deformedPositions;
  std::vector<Vector3> deformedNormals;
  std::vector<int32_t> vertexFaceStart;
  std::vector<int32_t> vertexFaceCount;
  std::vector<float> u;
  std::vector<float> v;

  // Faces of each vertex, grouped by vertex, ascending within a group.
  std::vector<int32_t> vertexFaces;

  // Per face: corners a, b, c at 3f, 3f + 1, 3f + 2.
  std::vector<int32_t> faces;
  std::vector<Vector3> faceNormals;
  std::vector<Vector3> deformedFaceNormals;

  // Render parameters, set by the scenes. Colours are R, G, B, A.
  float diffuse[4] = {0, 0, 0, 0};
  float specular[4] = {0, 0, 0, 0};
  float ambient[4] = {0, 0, 0, 0};
  float baseAlpha = 1.0f;
  float envAlpha = 1.0f;
  float shininess = 1.0f;
  int32_t renderMode = 1;  // 1 textured, 5 textured plus reflection
  unsigned int baseTexture = 0;
  float uOffset = 0;
  float vOffset = 0;
  unsigned int envTexture = 0;
  float lightW = 1.0f;  // 1 positional light, 0 directional
  float spotExponent = 0;
  float constantAttenuation = 1.0f;
  float linearAttenuation = 0;
  float quadraticAttenuation = 0;
  int32_t basePass = 1;
  Vector3 scale{1, 1, 1};
  int32_t cullBackFaces = 1;
  Vector3 position;
  float rotation[3] = {0, 0, 0};  // radians about x, y, z
};

struct Scene3ds {
  explicit Scene3ds(int32_t capacity);

  int32_t meshCount = 0;
  int32_t capacity;
  std::vector<std::unique_ptr<Mesh3ds>> meshes;  // capacity slots

  // Options read at the moment each mesh, face list or mapping list is made.
  int32_t trueNormals = 0;
  float uvScale = 1.0f;
  float geometryScale = 1.0f;
  float fieldOfView = 75.0f;  // degrees, vertical

  // Appends the meshes of a 3DS file. False when the file can't be opened or
  // is malformed; meshes made before the fault stay.
  bool load(const std::string& path);
  // The same walk over a file already in memory.
  bool loadFromMemory(const uint8_t* data, size_t size);

  // The perspective camera the following mesh draws and mask reads use,
  // drawing through `gfx`.
  void beginCamera(Gfx& gfx, const ViewCamera& camera);

  // source 0 draws positions/normals, 1 the deformed copies, other values
  // no triangles (the GL state is still set and restored).
  void drawMesh(int index, const LightShafts& light, int source);
  // The same placed in `placedIn` (the camera and what the caller put after
  // it) instead of the camera alone; the light is placed there too.
  void drawMeshIn(const Mat4& placedIn, int index, const LightShafts& light, int source);
  // The same with the light given by its parts, for tools without a shaft effect.
  void drawMeshLit(const Mat4& placedIn, int index, const Vector3& lightPosition,
                   const float lightColour[3], int source);
  void setMeshPosition(int index, const Vector3& position);
  void setMeshRotation(int index, float x, float y, float z);
  void resetDeformed(int index);
  void updateDeformedNormals(int index);

  // Occlusion-mask writers over the 512 x 256 band of the frame.
  void maskFromBrightness(LightShafts& light);
  void occludeByDepth(const ViewCamera& camera, LightShafts& light);

  // The camera from beginCamera: the layer it draws through, its projection
  // and its modelview.
  Gfx* gfx = nullptr;
  Mat4 projection = identityMatrix();
  Mat4 view = identityMatrix();

  // Read-back buffers of the mask writers, and the vertices of the mesh
  // being drawn.
  std::vector<uint8_t> blueBuffer;
  std::vector<float> depthBuffer;
  std::vector<MeshVertex> vertices;
};

// Face list rules, shared with tools that build meshes: face and vertex
// normals and the vertex-to-face adjacency of one mesh.
void computeFaceNormals(Mesh3ds& mesh, bool trueNormals);
void buildAdjacency(Mesh3ds& mesh);
void computeVertexNormals(Mesh3ds& mesh);

// Mask rules on a bare mask (gridWidth cells per row, up to 128 x 96 cells
// used), given the band read back from the frame.
void maskFromBlueBand(const uint8_t* blue512x256, int16_t* mask, int gridWidth, int gridHeight);
void occludeFromDepthBand(const float* depth512x256, float lightDepth, int16_t* mask,
                          int gridWidth, int gridHeight);
// The depth-buffer value of the light as the camera sees it.
float lightDepthValue(const ViewCamera& camera, const Vector3& lightPosition);
