// Writes 3DS model files: a chunk encoder and a small model description
// (materials and triangle meshes in the file's own axes, z up).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Chunks nest through begin/end; end patches the length of the open chunk.
struct ChunkWriter {
  std::vector<uint8_t> bytes;
  std::vector<size_t> open;

  void begin(uint16_t id);
  void end();
  void u8(uint8_t value);
  void u16(uint16_t value);
  void u32(uint32_t value);
  void f32(float value);
  void text(const std::string& value);  // zero-terminated
};

struct ModelMaterial {
  std::string name;
  std::string textureFile;     // empty: no texture map
  std::string reflectionFile;  // empty: no reflection map
  float diffuse[3] = {0.7f, 0.7f, 0.7f};
  float specular[3] = {0.3f, 0.3f, 0.3f};
};

struct ModelMesh {
  std::string name;
  std::string material;
  std::vector<float> xyz;          // 3 per vertex, file axes
  std::vector<float> uv;           // 2 per vertex, or empty
  std::vector<uint16_t> faces;     // 3 per triangle, counter-clockwise seen from outside
  std::vector<uint32_t> smoothing; // 1 per face, or empty (all group 1)

  int vertexCount() const { return int(xyz.size() / 3); }
  int addVertex(float x, float y, float z, float u = 0, float v = 0);
  void addTriangle(int a, int b, int c);
};

struct ModelFile {
  std::vector<ModelMaterial> materials;
  std::vector<ModelMesh> meshes;
};

// Main chunk with version, editor (mesh version, master scale, materials,
// named objects) and a keyframer section naming every object.
std::vector<uint8_t> encode3ds(const ModelFile& model);
bool write3ds(const std::string& path, const ModelFile& model);
