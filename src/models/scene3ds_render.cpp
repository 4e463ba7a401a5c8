// Fixed-function drawing of Scene3ds meshes: camera set-up, the multi-pass
// mesh draw, deformed copies, and the occlusion-mask writers of the light.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/light_shafts.h"
#include "gfx/scene_region.h"
#include "models/scene3ds.h"

namespace {

constexpr int kBandWidth = kBandRect.width;
constexpr int kBandHeight = kBandRect.height;
constexpr int kMaskWidth = 128;
constexpr int kMaskHeight = 96;
// radians x 180 x (1 / 3.14159)
constexpr double kRadiansToDegrees = 180.0 * 0.31831015504887655;

// One pass of a mesh draw; every pass is lit.
struct MeshPass {
  Combine combine;  // kNone: untextured
  Blend blend;
  DepthTest depth;
  bool reflection;  // envTexture with sphere-mapped coordinates
  float colourFactor;
};

constexpr MeshPass kLitBaseReflection[] = {
    {Combine::kNone, Blend::kOff, DepthTest::kLess, false, 2.0f},
    {Combine::kModulate, Blend::kWeighted, DepthTest::kEqual, false, 2.0f},
    {Combine::kAdd, Blend::kWeighted, DepthTest::kEqual, true, 1.0f},
};
constexpr MeshPass kLitBase[] = {
    {Combine::kNone, Blend::kOff, DepthTest::kLess, false, 1.0f},
    {Combine::kModulate, Blend::kWeighted, DepthTest::kEqual, false, 2.0f},
};
constexpr MeshPass kBaseReflection[] = {
    {Combine::kModulate, Blend::kOver, DepthTest::kLess, false, 2.0f},
    {Combine::kAdd, Blend::kWeighted, DepthTest::kEqual, true, 2.0f},
};
constexpr MeshPass kBase[] = {
    {Combine::kModulate, Blend::kOver, DepthTest::kLess, false, 4.0f},
};

// Fills meshVertices from source 0 (positions, normals) or 1 (the deformed
// copies); false for any other source, which draws nothing.
bool fillMeshVertices(std::vector<MeshVertex>& meshVertices, const Mesh3ds& mesh, int source) {
  if (source != 0 && source != 1) return false;
  const std::vector<Vector3>& p = source == 0 ? mesh.positions : mesh.deformedPositions;
  const std::vector<Vector3>& n = source == 0 ? mesh.normals : mesh.deformedNormals;
  meshVertices.resize(size_t(mesh.vertexCount));
  for (size_t i = 0; i < meshVertices.size(); ++i) {
    meshVertices[i] = {mesh.u[i] + mesh.uOffset, mesh.v[i] + mesh.vOffset,
                       -n[i].x, -n[i].y, -n[i].z, p[i].x, p[i].y, p[i].z};
  }
  return true;
}

// Frame row of mask row k: floor(k x 2.6666666666666665) taken exactly, which
// lands one row low on multiples of three (the factor is just under 8/3).
int bandRowOfMaskRow(int k) { return k == 0 ? 0 : (8 * k - 1) / 3; }

Vector3 unitOrZero(Vector3 n) {
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length > 0.0f) return Vector3(n.x / length, n.y / length, n.z / length);
  return Vector3();
}

}  // namespace

void Scene3ds::beginCamera(Gfx& layer, const ViewCamera& camera) {
  const Vector3 eye(-camera.position.x, -camera.position.y, -camera.position.z);
  const Vector3 centre = eye - camera.forward;
  gfx = &layer;
  projection = perspective(identityMatrix(), fieldOfView, 1.3333333333333333, 1.0, 1000.0);
  view = lookAt(identityMatrix(), eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, camera.up.x,
                camera.up.y, camera.up.z);
}

void Scene3ds::drawMesh(int index, const LightShafts& light, int source) {
  drawMeshLit(view, index, light.position, light.colour, source);
}

void Scene3ds::drawMeshIn(const Mat4& placedIn, int index, const LightShafts& light, int source) {
  drawMeshLit(placedIn, index, light.position, light.colour, source);
}

void Scene3ds::drawMeshLit(const Mat4& placedIn, int index, const Vector3& lightPosition,
                           const float lightColour[3], int source) {
  if (!gfx || index < 0 || index >= meshCount || !meshes[size_t(index)]) return;
  const Mesh3ds& mesh = *meshes[size_t(index)];

  Lighting lighting;
  lighting.placedBy = placedIn;
  const float position[4] = {lightPosition.x, lightPosition.y, lightPosition.z, mesh.lightW};
  std::copy(position, position + 4, lighting.position);
  std::copy(lightColour, lightColour + 3, lighting.colour);
  std::copy(mesh.ambient, mesh.ambient + 4, lighting.materialAmbient);
  std::copy(mesh.specular, mesh.specular + 4, lighting.materialSpecular);
  lighting.shininess = mesh.shininess;
  lighting.attenuation[0] = mesh.constantAttenuation;
  lighting.attenuation[1] = mesh.linearAttenuation;
  lighting.attenuation[2] = mesh.quadraticAttenuation;

  Mat4 model = translated(placedIn, mesh.position.x, mesh.position.y, mesh.position.z);
  model = rotated(model, float(mesh.rotation[1] * kRadiansToDegrees), 0, 1, 0);
  model = rotated(model, float(mesh.rotation[2] * kRadiansToDegrees), 0, 0, 1);
  model = rotated(model, float(mesh.rotation[0] * kRadiansToDegrees), 1, 0, 0);
  model = scaled(model, mesh.scale.x, mesh.scale.y, mesh.scale.z);

  const MeshPass* passes;
  size_t passCount;
  const bool reflection = mesh.renderMode == 5;
  if (mesh.basePass) {
    passes = reflection ? kLitBaseReflection : kLitBase;
    passCount = reflection ? 3 : 2;
  } else {
    passes = reflection ? kBaseReflection : kBase;
    passCount = reflection ? 2 : 1;
  }
  Pass pass;
  pass.viewport = kSceneRegion;
  pass.projection = projection;
  pass.modelview = model;
  pass.state.cullBackFaces = mesh.cullBackFaces;
  pass.state.lit = true;
  if (fillMeshVertices(vertices, mesh, source)) {
    for (size_t p = 0; p < passCount; ++p) {
      const MeshPass& mp = passes[p];
      pass.state.combine = mp.combine;
      pass.state.blend = mp.blend;
      pass.state.depth = mp.depth;
      pass.state.sphereMapped = mp.reflection;
      pass.texture = mp.reflection ? mesh.envTexture : mesh.baseTexture;
      const float f = mp.colourFactor;
      const Colour colour{mesh.diffuse[0] * f, mesh.diffuse[1] * f, mesh.diffuse[2] * f,
                          mp.reflection ? mesh.envAlpha : mesh.baseAlpha};
      ::drawMesh(*gfx, pass, lighting, colour, vertices.data(), mesh.faces.data(),
               mesh.faceCount * 3);
    }
  }
}

void Scene3ds::setMeshPosition(int index, const Vector3& position) {
  if (index < 0 || index >= meshCount) return;
  meshes[size_t(index)]->position.copyFrom(position);
}

void Scene3ds::setMeshRotation(int index, float x, float y, float z) {
  if (index < 0 || index >= meshCount) return;
  float* rotation = meshes[size_t(index)]->rotation;
  rotation[0] = x;
  rotation[1] = y;
  rotation[2] = z;
}

void Scene3ds::resetDeformed(int index) {
  if (index < 0 || index >= meshCount) return;
  Mesh3ds& mesh = *meshes[size_t(index)];
  mesh.deformedPositions = mesh.positions;
}

void Scene3ds::updateDeformedNormals(int index) {
  if (index < 0 || index >= meshCount) return;
  Mesh3ds& mesh = *meshes[size_t(index)];
  const std::vector<Vector3>& d = mesh.deformedPositions;
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    const int32_t* c = &mesh.faces[size_t(f) * 3];
    Vector3 n;
    n.setCross(d[size_t(c[1])] - d[size_t(c[0])], d[size_t(c[2])] - d[size_t(c[0])]);
    mesh.deformedFaceNormals[size_t(f)] = unitOrZero(n);
  }
  for (int32_t i = 0; i < mesh.vertexCount; ++i) {
    Vector3 sum;
    const int32_t start = mesh.vertexFaceStart[size_t(i)];
    for (int32_t k = 0; k < mesh.vertexFaceCount[size_t(i)]; ++k) {
      sum.add(mesh.deformedFaceNormals[size_t(mesh.vertexFaces[size_t(start + k)])]);
    }
    mesh.deformedNormals[size_t(i)] = unitOrZero(sum);
  }
}

void maskFromBlueBand(const uint8_t* blue, int16_t* mask, int gridWidth, int gridHeight) {
  const int rows = std::min(gridHeight, kMaskHeight);
  const int columns = std::min(gridWidth, kMaskWidth);
  for (int k = 0; k < rows; ++k) {
    const uint8_t* row = blue + bandRowOfMaskRow(k) * kBandWidth;
    for (int j = 0; j < columns; ++j) {
      const int r = row[4 * j];
      int value = 0;
      if (r >= 110) value = int(std::min((r - 110) * 5.4, 255.0));
      mask[k * gridWidth + j] = int16_t(value);
    }
  }
}

void occludeFromDepthBand(const float* depth, float lightDepth, int16_t* mask, int gridWidth,
                          int gridHeight) {
  const int rows = std::min(gridHeight, kMaskHeight);
  const int columns = std::min(gridWidth, kMaskWidth);
  for (int k = 0; k < rows; ++k) {
    const int y = bandRowOfMaskRow(k);
    for (int j = 0; j < columns; ++j) {
      int16_t& cell = mask[k * gridWidth + j];
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = -1; dx <= 2; ++dx) {
          // Column -1 of mask column 0 repeats column 0.
          const int x = std::max(4 * j + dx, 0);
          if (depth[(y + dy) * kBandWidth + x] < lightDepth) cell = int16_t(cell - 32);
        }
      }
    }
  }
}

float lightDepthValue(const ViewCamera& camera, const Vector3& lightPosition) {
  const Vector3 d = lightPosition - camera.position;
  const float a = d.dot(camera.forward);
  const float c = camera.forward.dot(camera.forward);
  return (1.0f - 1.0f / (a / c + 1.0f)) * 1.001f;
}

void Scene3ds::maskFromBrightness(LightShafts& light) {
  if (!gfx) return;
  blueBuffer.resize(size_t(kBandWidth) * kBandHeight);
  readFrameBlue(*gfx, kBandRect, blueBuffer.data());
  maskFromBlueBand(blueBuffer.data(), light.occlusionMask, light.gridWidth, light.gridHeight);
}

void Scene3ds::occludeByDepth(const ViewCamera& camera, LightShafts& light) {
  if (!gfx) return;
  depthBuffer.resize(size_t(kBandWidth) * kBandHeight);
  const float lightDepth = lightDepthValue(camera, light.position);
  readFrameDepth(*gfx, kBandRect, depthBuffer.data());
  occludeFromDepthBand(depthBuffer.data(), lightDepth, light.occlusionMask, light.gridWidth,
                       light.gridHeight);
}
