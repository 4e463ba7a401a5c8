#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "effects/light_shafts.h"
#include "gl_test_context.h"
#include "models/scene3ds.h"

namespace {

// One mesh: a quad of two triangles facing the camera set up below.
void addQuad(Scene3ds& scene) {
  auto mesh = std::make_unique<Mesh3ds>();
  mesh->vertexCount = 4;
  mesh->positions = {Vector3(-5, -5, 0), Vector3(5, -5, 0), Vector3(5, 5, 0), Vector3(-5, 5, 0)};
  mesh->normals.assign(4, Vector3(0, 0, -1));
  mesh->deformedPositions.assign(4, Vector3());
  mesh->deformedNormals.assign(4, Vector3());
  mesh->u = {0, 1, 1, 0};
  mesh->v = {0, 0, 1, 1};
  mesh->faceCount = 2;
  mesh->faces = {0, 1, 2, 0, 2, 3};
  mesh->faceNormals.assign(2, Vector3());
  mesh->deformedFaceNormals.assign(2, Vector3());
  buildAdjacency(*mesh);
  mesh->cullBackFaces = 0;
  const float diffuse[4] = {0.1f, 0.05f, 0.2f, 1};
  std::copy(diffuse, diffuse + 4, mesh->diffuse);
  mesh->baseAlpha = 0.75f;
  mesh->envAlpha = 0.25f;
  mesh->baseTexture = 51;
  mesh->envTexture = 52;
  scene.meshes[size_t(scene.meshCount++)] = std::move(mesh);
}

// Camera at (0, 0, 10) looking towards the origin (stored negated, view
// along -forward).
ViewCamera frontCamera() {
  ViewCamera camera;
  camera.position.set(0, 0, -10);
  camera.forward.set(0, 0, 1);
  camera.up.set(0, -1, 0);
  return camera;
}

TEST(ModelsRenderer, SourceTwoDrawsNothing) {
  ASSERT_TRUE(useHeadlessGl(512, 384));
  const float lightColour[3] = {1, 1, 1};
  for (int source = 0; source <= 2; source += 2) {
    Scene3ds scene(2);
    addQuad(scene);
    Mesh3ds& mesh = *scene.meshes[0];
    mesh.basePass = 0;
    mesh.renderMode = 1;
    mesh.baseTexture = 0;  // untextured: the colour shows as is
    const float bright[4] = {0.25f, 0.25f, 0.25f, 1};
    std::copy(bright, bright + 4, mesh.diffuse);
    mesh.baseAlpha = 1;
    glDisable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.beginCamera(testDemo().gfx, frontCamera());
    scene.drawMeshLit(scene.view, 0, Vector3(0, 0, 10), lightColour, source);
    uint8_t pixel[3] = {0, 0, 0};
    glReadPixels(256, 192, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    if (source == 2) {
      EXPECT_EQ(pixel[0] + pixel[1] + pixel[2], 0);
    } else {
      EXPECT_GT(pixel[0] + pixel[1] + pixel[2], 0);
    }
  }
}

TEST(ModelsDeformed, ResetAndNormalsUseGeometricNormals) {
  Scene3ds scene(1);
  addQuad(scene);
  scene.resetDeformed(0);
  Mesh3ds& mesh = *scene.meshes[0];
  EXPECT_FLOAT_EQ(mesh.deformedPositions[2].x, 5.0f);
  // Tilt the quad about x: the normal follows, with no axis exchange.
  for (Vector3& p : mesh.deformedPositions) p.set(p.x, p.y, p.y);
  scene.updateDeformedNormals(0);
  const float s = std::sqrt(0.5f);
  for (const Vector3& n : mesh.deformedFaceNormals) {
    EXPECT_NEAR(n.x, 0, 1e-6f);
    EXPECT_NEAR(n.y, -s, 1e-6f);
    EXPECT_NEAR(n.z, s, 1e-6f);
  }
  for (const Vector3& n : mesh.deformedNormals) {
    EXPECT_NEAR(n.y, -s, 1e-6f);
    EXPECT_NEAR(n.z, s, 1e-6f);
  }
  EXPECT_NEAR(mesh.normals[0].z, -1, 1e-6f);  // load-time normals untouched
}

TEST(ModelsMasks, BrightnessThresholdsAndRowPicks) {
  std::vector<uint8_t> blue(512 * 256, 0);
  blue[0] = 110;                 // mask (0, 0)
  blue[4] = 157;                 // mask (0, 1)
  blue[8] = 158;                 // mask (0, 2)
  blue[12] = 255;                // mask (0, 3)
  blue[16] = 109;                // mask (0, 4)
  blue[7 * 512 + 0] = 200;       // frame row 7 feeds mask row 3
  blue[8 * 512 + 0] = 0;
  blue[253 * 512 + 508] = 130;   // last cell: frame row 253, column 508
  std::vector<int16_t> mask(128 * 96, 77);
  maskFromBlueBand(blue.data(), mask.data(), 128, 96);
  EXPECT_EQ(mask[0], 0);
  EXPECT_EQ(mask[1], 253);
  EXPECT_EQ(mask[2], 255);
  EXPECT_EQ(mask[3], 255);
  EXPECT_EQ(mask[4], 0);
  EXPECT_EQ(mask[3 * 128], 255);
  EXPECT_EQ(mask[95 * 128 + 127], 108);
}

TEST(ModelsMasks, DepthDropsCoveredCellsBy256) {
  std::vector<float> depth(512 * 256, 1.0f);
  // Cover the eight samples of mask cell (1, 1): frame rows 2-3, columns 3-6.
  for (int y = 2; y <= 3; ++y) {
    for (int x = 3; x <= 6; ++x) depth[size_t(y * 512 + x)] = 0.2f;
  }
  depth[size_t(5 * 512 + 7)] = 0.2f;  // one sample of cell (2, 2)
  std::vector<int16_t> mask(128 * 96, 255);
  occludeFromDepthBand(depth.data(), 0.5f, mask.data(), 128, 96);
  EXPECT_EQ(mask[1 * 128 + 1], -1);
  EXPECT_EQ(mask[2 * 128 + 2], 223);
  EXPECT_EQ(mask[0], 255);

  ViewCamera camera;
  camera.forward.set(0, 0, 2);
  // d . f = 8, f . f = 4: (1 - 1 / 3) x 1.001
  EXPECT_NEAR(lightDepthValue(camera, Vector3(0, 0, 4)), 2.0f / 3.0f * 1.001f, 1e-6f);
}

TEST(ModelsMasks, WritersReadTheFrameThroughGl) {
  ASSERT_TRUE(useHeadlessGl(512, 384));
  LightShafts light(128, 96, 64, 64, 0.25f, 0.82f);
  light.fillMask(255);
  Scene3ds scene(1);
  glClearColor(0, 0, 1, 1);
  glClearDepth(0.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearDepth(1.0);
  ViewCamera camera = frontCamera();
  scene.beginCamera(testDemo().gfx, camera);
  light.position.set(0, 0, -50);
  scene.occludeByDepth(camera, light);
  EXPECT_EQ(light.occlusionMask[0], -1);
  EXPECT_EQ(light.occlusionMask[95 * 128 + 127], -1);
  scene.maskFromBrightness(light);
  EXPECT_EQ(light.occlusionMask[0], 255);
  EXPECT_EQ(light.occlusionMask[40 * 128 + 64], 255);
}

}  // namespace
