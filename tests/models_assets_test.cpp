#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "models.h"
#include "models/scene3ds.h"

namespace {

Scene3ds loaded(const ModelFile& model, int capacity = 200) {
  Scene3ds scene(capacity);
  const std::vector<uint8_t> bytes = encode3ds(model);
  EXPECT_TRUE(scene.loadFromMemory(bytes.data(), bytes.size()));
  return scene;
}

struct Bounds {
  Vector3 lo{1e9f, 1e9f, 1e9f};
  Vector3 hi{-1e9f, -1e9f, -1e9f};
};

Bounds boundsOf(const Mesh3ds& mesh) {
  Bounds b;
  for (const Vector3& p : mesh.positions) {
    b.lo.set(std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z));
    b.hi.set(std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z));
  }
  return b;
}

void expectWellFormed(const Scene3ds& scene) {
  for (int i = 0; i < scene.meshCount; ++i) {
    const Mesh3ds& mesh = *scene.meshes[size_t(i)];
    EXPECT_GT(mesh.faceCount, 0) << i;
    for (const Vector3& n : mesh.faceNormals) {
      EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-3f) << "degenerate face in " << i;
    }
  }
}

TEST(ModelsAssets, RoundTripMeshCounts) {
  EXPECT_EQ(loaded(makeCraftModel()).meshCount, 5);
  EXPECT_EQ(loaded(makeSpikeModel()).meshCount, 1);
  EXPECT_EQ(loaded(makeFaceModel(false)).meshCount, 1);
  EXPECT_EQ(loaded(makeFaceModel(true)).meshCount, 1);
  EXPECT_EQ(loaded(makeRobotModel()).meshCount, 10);
  EXPECT_EQ(loaded(makeFontModel(kModelFontPath)).meshCount, 43);
  EXPECT_GE(loaded(makeBeltModel()).meshCount, 1);
}

TEST(ModelsAssets, CraftNoseAlongXAndCompact) {
  const Scene3ds scene = loaded(makeCraftModel());
  expectWellFormed(scene);
  const Bounds hull = boundsOf(*scene.meshes[0]);
  EXPECT_NEAR(hull.hi.x, 1.2f, 0.05f);  // nose
  EXPECT_LT(hull.lo.x, -0.9f);
  const Bounds tail = boundsOf(*scene.meshes[3]);
  EXPECT_LT(tail.lo.y, -0.4f);  // fin rises along file +z, the program's -y
}

TEST(ModelsAssets, SpikeCoreAndTips) {
  const Scene3ds scene = loaded(makeSpikeModel());
  expectWellFormed(scene);
  float nearest = 1e9f, farthest = 0;
  for (Vector3 p : scene.meshes[0]->positions) {
    const float r = p.length();
    nearest = std::min(nearest, r);
    farthest = std::max(farthest, r);
  }
  EXPECT_NEAR(nearest, 0.36f, 0.05f);
  EXPECT_NEAR(farthest, 1.0f, 1e-3f);
}

TEST(ModelsAssets, FacesSpreadTheTextureEvenly) {
  for (bool second : {false, true}) {
    const Scene3ds scene = loaded(makeFaceModel(second));
    expectWellFormed(scene);
    const Mesh3ds& mesh = *scene.meshes[0];
    const Bounds b = boundsOf(mesh);
    EXPECT_NEAR(b.hi.y - b.lo.y, 3.0f, 0.1f);  // about 3 units tall
    const auto [uMin, uMax] = std::minmax_element(mesh.u.begin(), mesh.u.end());
    const auto [vMin, vMax] = std::minmax_element(mesh.v.begin(), mesh.v.end());
    EXPECT_NEAR(*uMin, 0.0f, 0.05f);
    EXPECT_NEAR(*uMax, 1.0f, 0.05f);
    EXPECT_NEAR(*vMin, 0.0f, 0.01f);
    EXPECT_NEAR(*vMax, 1.0f, 0.01f);
  }
}

TEST(ModelsAssets, RobotJointsAndFingers) {
  const Scene3ds scene = loaded(makeRobotModel());
  expectWellFormed(scene);
  const float pivots[] = {0, 7.28f, 12.39f, 17.5f, 22.56f, 27.67f};
  for (int i = 1; i <= 5; ++i) {
    const Bounds b = boundsOf(*scene.meshes[size_t(i)]);
    EXPECT_LT(b.lo.x, pivots[i]) << i;
    EXPECT_GT(b.hi.x, pivots[i] + 0.5f * (i < 5 ? pivots[i + 1] - pivots[i] : 1.0f)) << i;
  }
  // The scroller moves the fingers along the loaded z (the file's y): finger
  // 7 by +grip, 8 and 9 by -grip, so they sit on -z and +z and close inwards.
  const Bounds f7 = boundsOf(*scene.meshes[7]);
  const Bounds f8 = boundsOf(*scene.meshes[8]);
  const Bounds f9 = boundsOf(*scene.meshes[9]);
  EXPECT_LT(f7.hi.z, -1.0f);
  EXPECT_GT(f8.lo.z, 1.0f);
  EXPECT_GT(f9.lo.z, 1.0f);
  EXPECT_NE(f8.lo.y, f9.lo.y);  // side by side across the hand
  EXPECT_LT(f7.hi.y - f7.lo.y, 1.0f);
  EXPECT_GE(f7.lo.x, 30.0f);
}

TEST(ModelsAssets, GlyphsSitAtThreeTimesTheirSlot) {
  const Scene3ds scene = loaded(makeFontModel(kModelFontPath));
  expectWellFormed(scene);
  const std::string glyphSet = "!%+.0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZ;";
  auto slotOf = [](char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return 26 + (c - '0');
    return int(std::string("!?.%+;").find(c)) + 36;
  };
  for (size_t i = 0; i < glyphSet.size(); ++i) {
    const Bounds b = boundsOf(*scene.meshes[i]);
    const float centre = 0.5f * (b.lo.x + b.hi.x);
    EXPECT_NEAR(centre, 3.0f * float(slotOf(glyphSet[i])), 0.01f) << glyphSet[i];
    EXPECT_LT(b.hi.x - b.lo.x, 2.6f) << glyphSet[i];
    EXPECT_NEAR(b.hi.z - b.lo.z, 0.4f, 1e-4f) << glyphSet[i];  // extruded depth
  }
  const Bounds m = boundsOf(*scene.meshes[size_t(glyphSet.find('M'))]);
  EXPECT_NEAR(m.hi.y - m.lo.y, 1.6f, 0.05f);  // cap height
}

TEST(ModelsAssets, BeltTopAndTextureRepeat) {
  const Scene3ds scene = loaded(makeBeltModel());
  const Mesh3ds& belt = *scene.meshes[0];
  int topVertices = 0;
  for (int i = 0; i < belt.vertexCount; ++i) {
    const Vector3& p = belt.positions[size_t(i)];
    if (std::fabs(p.y) < 1e-5f && p.x >= -20 && p.x <= 34) {
      ++topVertices;
      EXPECT_NEAR(belt.u[size_t(i)], p.x / 54.6f, 1e-4f);
    }
  }
  EXPECT_GT(topVertices, 10);
  const Bounds b = boundsOf(belt);
  EXPECT_LT(b.lo.x, -20.5f);
  EXPECT_GT(b.hi.x, 34.5f);
  EXPECT_LT(b.lo.z, -2.256f - 1.0f);
  EXPECT_GT(b.hi.z, 1.744f + 1.0f);
  EXPECT_NEAR(b.lo.y, 0.0f, 1e-5f);  // nothing of the belt rises above its top
}

TEST(ModelsAssets, GeneratedFilesLoadFromTheBuildDirectory) {
  const std::string dir = std::string(LUMIVAARA_BUILD_DIR) + "/Models/";
  const std::pair<const char*, int> files[] = {{"tora.3ds", 5},  {"sspike.3ds", 1},
                                               {"naama.3ds", 1}, {"naamaH.3ds", 1},
                                               {"robo.3ds", 10}, {"font.3ds", 43}};
  for (const auto& [name, count] : files) {
    Scene3ds scene(200);
    EXPECT_TRUE(scene.load(dir + name)) << name;
    EXPECT_EQ(scene.meshCount, count) << name;
  }
  Scene3ds belt(200);
  EXPECT_TRUE(belt.load(dir + "hihna.3ds"));
  EXPECT_GE(belt.meshCount, 1);
}

}  // namespace
