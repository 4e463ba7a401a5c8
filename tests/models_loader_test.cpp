#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "models/chunk_ids.h"
#include "models/scene3ds.h"
#include "tds_writer.h"

namespace {

void expectXyz(const Vector3& v, float x, float y, float z, float eps = 1e-6f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

// Chunk builders for hand-made files.
void vertexChunk(ChunkWriter& w, const std::vector<float>& xyz) {
  w.begin(kChunkVertexList);
  w.u16(uint16_t(xyz.size() / 3));
  for (float c : xyz) w.f32(c);
  w.end();
}

void faceChunk(ChunkWriter& w, const std::vector<uint16_t>& abc, bool closeIt = true) {
  w.begin(kChunkFaceList);
  w.u16(uint16_t(abc.size() / 3));
  for (size_t f = 0; f < abc.size(); f += 3) {
    w.u16(abc[f]);
    w.u16(abc[f + 1]);
    w.u16(abc[f + 2]);
    w.u16(7);
  }
  if (closeIt) w.end();
}

void mappingChunk(ChunkWriter& w, const std::vector<float>& uv) {
  w.begin(kChunkMappingList);
  w.u16(uint16_t(uv.size() / 2));
  for (float c : uv) w.f32(c);
  w.end();
}

// main > editor > one named object > triangle mesh > vertices, faces.
std::vector<uint8_t> oneMesh(const std::string& name, const std::vector<float>& xyz,
                             const std::vector<uint16_t>& abc,
                             const std::vector<float>& uv = {}) {
  ChunkWriter w;
  w.begin(kChunkMain);
  w.begin(kChunkEditor);
  w.begin(kChunkNamedObject);
  w.text(name);
  w.begin(kChunkTriangleMesh);
  vertexChunk(w, xyz);
  if (!uv.empty()) mappingChunk(w, uv);
  faceChunk(w, abc);
  w.end();
  w.end();
  w.end();
  w.end();
  return w.bytes;
}

const std::vector<float> kTriangle = {0, 0, 0, 0, 1, 0, 0, 0, 1};

bool load(Scene3ds& scene, const std::vector<uint8_t>& bytes) {
  return scene.loadFromMemory(bytes.data(), bytes.size());
}

TEST(ModelsLoader, StoresFileVerticesWithAxesExchanged) {
  Scene3ds scene(4);
  ASSERT_TRUE(load(scene, oneMesh("Box01", {1, 2, 3, 4, 5, 6}, {})));
  ASSERT_EQ(scene.meshCount, 1);
  const Mesh3ds& mesh = *scene.meshes[0];
  EXPECT_EQ(mesh.vertexCount, 2);
  expectXyz(mesh.positions[0], 1, -3, 2);
  expectXyz(mesh.positions[1], 4, -6, 5);
  expectXyz(mesh.deformedPositions[0], 0, 0, 0);
  EXPECT_EQ(mesh.renderMode, 5);  // set by the face list, even an empty one
}

TEST(ModelsLoader, FaceNormalConventions) {
  Scene3ds scene(4);
  ASSERT_TRUE(load(scene, oneMesh("Tri", kTriangle, {0, 1, 2})));
  scene.trueNormals = 1;
  ASSERT_TRUE(load(scene, oneMesh("Tri", kTriangle, {0, 1, 2})));
  const Mesh3ds& swapped = *scene.meshes[0];
  const Mesh3ds& geometric = *scene.meshes[1];
  expectXyz(geometric.positions[1], 0, 0, 1);
  expectXyz(geometric.positions[2], 0, -1, 0);
  expectXyz(geometric.faceNormals[0], 1, 0, 0);
  expectXyz(swapped.faceNormals[0], 0, 0, 1);
  for (int i = 0; i < 3; ++i) {
    expectXyz(geometric.normals[size_t(i)], 1, 0, 0);
    expectXyz(swapped.normals[size_t(i)], 0, 0, 1);
  }
  EXPECT_EQ(geometric.faces, (std::vector<int32_t>{0, 1, 2}));
}

TEST(ModelsLoader, ClassifiesObjectsByNameOnly) {
  ChunkWriter w;
  w.begin(kChunkMain);
  w.begin(kChunkEditor);
  for (const char* name : {"Camera01", "Omni02", "Light03", "Box01"}) {
    w.begin(kChunkNamedObject);
    w.text(name);
    if (std::string(name) == "Camera01") {
      w.begin(kChunkCamera);
      for (int i = 0; i < 8; ++i) w.f32(1.0f);
      w.end();
    } else if (std::string(name) != "Box01") {
      w.begin(kChunkLight);
      w.f32(1);
      w.f32(2);
      w.f32(3);
      w.begin(kChunkSpotlight);
      for (int i = 0; i < 5; ++i) w.f32(0.5f);
      w.end();
      w.end();
    } else {
      w.begin(kChunkTriangleMesh);
      vertexChunk(w, kTriangle);
      faceChunk(w, {0, 1, 2});
      w.end();
    }
    w.end();
  }
  w.end();
  w.end();
  Scene3ds scene(4);
  ASSERT_TRUE(load(scene, w.bytes));
  ASSERT_EQ(scene.meshCount, 1);
  EXPECT_EQ(scene.meshes[0]->faceCount, 1);
}

TEST(ModelsLoader, LoadsAppendAndTakeOptionsAtCreation) {
  const std::vector<uint8_t> two = [] {
    ChunkWriter w;
    w.begin(kChunkMain);
    w.begin(kChunkEditor);
    for (int k = 0; k < 2; ++k) {
      w.begin(kChunkNamedObject);
      w.text(k == 0 ? "A" : "B");
      w.begin(kChunkTriangleMesh);
      vertexChunk(w, {float(k), 0, 0, 0, 1, 0, 0, 0, 1});
      mappingChunk(w, {0.5f, 0.25f});
      faceChunk(w, {0, 1, 2});
      w.end();
      w.end();
    }
    w.end();
    w.end();
    return w.bytes;
  }();
  Scene3ds scene(10);
  const int32_t firstStart = scene.meshCount;
  ASSERT_TRUE(load(scene, two));
  const int32_t secondStart = scene.meshCount;
  scene.geometryScale = 35.0f;
  scene.uvScale = 2.0f;
  ASSERT_TRUE(load(scene, two));
  const int32_t thirdStart = scene.meshCount;
  ASSERT_TRUE(load(scene, two));
  EXPECT_EQ(firstStart, 0);
  EXPECT_EQ(secondStart, 2);
  EXPECT_EQ(thirdStart, 4);
  ASSERT_EQ(scene.meshCount, 6);
  for (int run = 0; run < 3; ++run) {
    EXPECT_FLOAT_EQ(scene.meshes[size_t(2 * run)]->positions[0].x, 0.0f);
    EXPECT_FLOAT_EQ(scene.meshes[size_t(2 * run + 1)]->positions[0].x, 1.0f);
  }
  EXPECT_FLOAT_EQ(scene.meshes[0]->scale.x, 1.0f);
  EXPECT_FLOAT_EQ(scene.meshes[3]->scale.z, 35.0f);
  EXPECT_FLOAT_EQ(scene.meshes[0]->u[0], 0.5f);
  EXPECT_FLOAT_EQ(scene.meshes[0]->v[0], 0.25f);
  EXPECT_FLOAT_EQ(scene.meshes[2]->u[0], 1.0f);  // uvScale 2
  EXPECT_FLOAT_EQ(scene.meshes[2]->v[0], 0.5f);
  EXPECT_FLOAT_EQ(scene.meshes[2]->u[1], 0.0f);  // beyond the mapping list
}

TEST(ModelsLoader, AdjacencyListsEachFaceOnceInAscendingOrder) {
  // Face 1 names vertex 0 twice; vertex 4 is used by no face.
  const std::vector<float> xyz = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 5, 5, 5};
  Scene3ds scene(2);
  scene.trueNormals = 1;
  ASSERT_TRUE(load(scene, oneMesh("Quad", xyz, {0, 1, 2, 0, 0, 3, 1, 3, 2})));
  const Mesh3ds& mesh = *scene.meshes[0];
  auto facesOf = [&mesh](int i) {
    const auto first = mesh.vertexFaces.begin() + mesh.vertexFaceStart[size_t(i)];
    return std::vector<int32_t>(first, first + mesh.vertexFaceCount[size_t(i)]);
  };
  EXPECT_EQ(facesOf(0), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(facesOf(1), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(facesOf(2), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(facesOf(3), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(facesOf(4), (std::vector<int32_t>{}));
  EXPECT_EQ(mesh.vertexFaces.size(), 8u);
  // The degenerate face and the unused vertex give zero, not NaN.
  expectXyz(mesh.faceNormals[1], 0, 0, 0);
  expectXyz(mesh.normals[4], 0, 0, 0);
  expectXyz(mesh.normals[0], 0, -1, 0);  // file +z became -y
}

TEST(ModelsLoader, SkipsUnknownChunksAnywhere) {
  ChunkWriter w;
  w.begin(0x1234);
  w.u32(99);
  w.end();
  w.begin(kChunkMain);
  w.begin(kChunkVersion);
  w.u32(3);
  w.end();
  w.begin(kChunkEditor);
  w.begin(kChunkMaterialEntry);
  w.begin(kChunkMaterialName);
  w.text("Steel");
  w.end();
  w.begin(kChunkTextureMap);
  w.begin(kChunkMapFileName);
  w.text("METAL.JPG");
  w.end();
  w.end();
  w.end();
  w.begin(kChunkNamedObject);
  w.text("Box01");
  w.begin(0x4111);  // vertex flags
  w.u16(0);
  w.end();
  w.begin(kChunkTriangleMesh);
  vertexChunk(w, kTriangle);
  w.begin(kChunkLocalAxes);
  for (int i = 0; i < 12; ++i) w.f32(0);
  w.end();
  faceChunk(w, {0, 1, 2}, false);
  w.begin(kChunkFaceMaterial);
  w.text("Steel");
  w.u16(1);
  w.u16(0);
  w.end();
  w.begin(kChunkSmoothing);
  w.u32(1);
  w.end();
  w.begin(0x7777);
  w.end();
  w.end();
  w.end();
  w.end();
  w.end();
  w.begin(kChunkKeyframer);
  w.begin(kChunkKeyframeHeader);
  w.u16(5);
  w.end();
  w.end();
  w.end();
  Scene3ds scene(2);
  ASSERT_TRUE(load(scene, w.bytes));
  ASSERT_EQ(scene.meshCount, 1);
  EXPECT_EQ(scene.meshes[0]->faceCount, 1);
  EXPECT_EQ(scene.meshes[0]->vertexCount, 3);
}

TEST(ModelsLoader, ZeroLengthChunkFailsButKeepsEarlierMeshes) {
  std::vector<uint8_t> bytes = oneMesh("Box01", kTriangle, {0, 1, 2});
  const std::vector<uint8_t> zero = {0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0};
  bytes.insert(bytes.end(), zero.begin(), zero.end());
  Scene3ds scene(2);
  EXPECT_FALSE(load(scene, bytes));
  EXPECT_EQ(scene.meshCount, 1);
  EXPECT_EQ(scene.meshes[0]->faceCount, 1);
}

TEST(ModelsLoader, MissingFileLeavesSceneUnchanged) {
  Scene3ds scene(2);
  EXPECT_FALSE(scene.load("/nonexistent/Models/none.3ds"));
  EXPECT_EQ(scene.meshCount, 0);
  const std::string path = ::testing::TempDir() + "models_loader_one.3ds";
  const std::vector<uint8_t> bytes = oneMesh("Box01", kTriangle, {0, 1, 2});
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  EXPECT_TRUE(scene.load(path));
  EXPECT_EQ(scene.meshCount, 1);
  std::remove(path.c_str());
}

// Each malformed file must fail without touching memory outside the mesh.
TEST(ModelsLoaderMalformed, FaceIndexAtVertexCount) {
  Scene3ds scene(2);
  EXPECT_FALSE(load(scene, oneMesh("Box01", kTriangle, {0, 1, 3})));
  EXPECT_EQ(scene.meshes[0]->faceCount, 0);
}

TEST(ModelsLoaderMalformed, MappingLongerThanVertexList) {
  Scene3ds scene(2);
  EXPECT_FALSE(load(scene, oneMesh("Box01", kTriangle, {0, 1, 2}, {0, 0, 1, 1, 2, 2, 3, 3})));
  EXPECT_TRUE(load(scene, oneMesh("Box01", kTriangle, {0, 1, 2}, {0, 0, 1, 1, 2, 2})));
}

TEST(ModelsLoaderMalformed, GeometryBeforeAnyMeshOfTheLoad) {
  Scene3ds scene(4);
  ASSERT_TRUE(load(scene, oneMesh("Box01", kTriangle, {0, 1, 2})));
  for (int kind = 0; kind < 3; ++kind) {
    ChunkWriter w;
    w.begin(kChunkMain);
    if (kind == 0) vertexChunk(w, {9, 9, 9});
    if (kind == 1) faceChunk(w, {0, 1, 2});
    if (kind == 2) mappingChunk(w, {0.5f, 0.5f});
    w.end();
    EXPECT_FALSE(load(scene, w.bytes)) << kind;
  }
  // The previous load's mesh is untouched.
  EXPECT_EQ(scene.meshCount, 1);
  expectXyz(scene.meshes[0]->positions[0], 0, 0, 0);
  EXPECT_FLOAT_EQ(scene.meshes[0]->u[0], 0.0f);
}

TEST(ModelsLoaderMalformed, MoreMeshesThanCapacity) {
  Scene3ds scene(2);
  EXPECT_TRUE(load(scene, oneMesh("A", kTriangle, {0, 1, 2})));
  EXPECT_TRUE(load(scene, oneMesh("B", kTriangle, {0, 1, 2})));
  EXPECT_FALSE(load(scene, oneMesh("C", kTriangle, {0, 1, 2})));
  EXPECT_EQ(scene.meshCount, 2);
  EXPECT_EQ(scene.meshes.size(), 2u);
}

TEST(ModelsLoaderMalformed, ChunkLengthPastParentOrFile) {
  std::vector<uint8_t> bytes = oneMesh("Box01", kTriangle, {0, 1, 2});
  // The named object starts after the main (6) and editor (6) headers.
  std::vector<uint8_t> pastParent = bytes;
  pastParent[12 + 2] = uint8_t(pastParent[12 + 2] + 10);
  Scene3ds scene(4);
  EXPECT_FALSE(load(scene, pastParent));
  std::vector<uint8_t> pastFile = bytes;
  pastFile[2] = uint8_t(pastFile[2] + 1);
  EXPECT_FALSE(load(scene, pastFile));
  std::vector<uint8_t> truncated(bytes.begin(), bytes.end() - 3);
  EXPECT_FALSE(load(scene, truncated));
  std::vector<uint8_t> shortHeader = bytes;
  shortHeader.push_back(0x11);
  shortHeader.push_back(0x22);
  EXPECT_FALSE(load(scene, shortHeader));
  const std::vector<uint8_t> tinyLength = {0x34, 0x12, 3, 0, 0, 0};
  EXPECT_FALSE(load(scene, tinyLength));
}

TEST(ModelsLoaderMalformed, CountsBeyondTheChunk) {
  for (int kind = 0; kind < 3; ++kind) {
    ChunkWriter w;
    w.begin(kChunkMain);
    w.begin(kChunkNamedObject);
    w.text("Box01");
    vertexChunk(w, kTriangle);
    // A list whose count claims one entry more than its bytes hold.
    w.begin(kind == 0 ? kChunkVertexList : kind == 1 ? kChunkFaceList : kChunkMappingList);
    w.u16(2);
    for (int i = 0; i < (kind == 0 ? 3 : 2); ++i) w.f32(0.0f);
    w.end();
    w.end();
    w.end();
    Scene3ds scene(2);
    EXPECT_FALSE(load(scene, w.bytes)) << kind;
    EXPECT_EQ(scene.meshes[0]->vertexCount, 3) << kind;
    EXPECT_EQ(scene.meshes[0]->faceCount, 0) << kind;
  }
}

TEST(ModelsLoaderMalformed, VertexListAfterFacesIsRejected) {
  ChunkWriter w;
  w.begin(kChunkNamedObject);
  w.text("Box01");
  vertexChunk(w, kTriangle);
  faceChunk(w, {0, 1, 2});
  vertexChunk(w, {0, 0, 0});
  w.end();
  Scene3ds scene(2);
  EXPECT_FALSE(load(scene, w.bytes));
  EXPECT_EQ(scene.meshes[0]->vertexCount, 3);
}

}  // namespace
