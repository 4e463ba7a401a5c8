// Fixed-function drawing of Scene3ds meshes: camera set-up, the multi-pass
// mesh draw, deformed copies, and the occlusion-mask writers of the light.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/light_shafts.h"
#include "models/scene3ds.h"
#include "platform/gl_matrices.h"

namespace {

constexpr int kBandWidth = 512;
constexpr int kBandHeight = 256;
constexpr int kBandY = 64;
constexpr int kMaskWidth = 128;
constexpr int kMaskHeight = 96;
// radians x 180 x (1 / 3.14159)
constexpr double kRadiansToDegrees = 180.0 * 0.31831015504887655;

// One pass of a mesh draw; blendSrc 0 keeps the previous blend function.
struct MeshPass {
  GLint texEnv;
  bool texture2d;
  bool blend;
  GLenum blendSrc;
  GLenum blendDst;
  GLenum depthFunc;
  bool reflection;  // binds envTexture with sphere-mapped coordinates
  float colourFactor;
};

constexpr MeshPass kLitBaseReflection[] = {
    {GL_ADD, false, false, GL_ONE, GL_ONE, GL_LESS, false, 2.0f},
    {GL_MODULATE, true, true, GL_SRC_ALPHA, GL_DST_ALPHA, GL_EQUAL, false, 2.0f},
    {GL_ADD, true, true, GL_SRC_ALPHA, GL_DST_ALPHA, GL_EQUAL, true, 1.0f},
};
constexpr MeshPass kLitBase[] = {
    {GL_ADD, false, false, 0, 0, GL_LESS, false, 1.0f},
    {GL_MODULATE, true, true, GL_SRC_ALPHA, GL_DST_ALPHA, GL_EQUAL, false, 2.0f},
};
constexpr MeshPass kBaseReflection[] = {
    {GL_MODULATE, true, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_LESS, false, 2.0f},
    {GL_ADD, true, true, GL_SRC_ALPHA, GL_DST_ALPHA, GL_EQUAL, true, 2.0f},
};
constexpr MeshPass kBase[] = {
    {GL_MODULATE, true, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_LESS, false, 4.0f},
};

void setSphereMap(bool on) {
  if (on) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  } else {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
  glDisable(GL_TEXTURE_GEN_R);
}

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

// Vertex arrays rather than glBegin/glEnd: one call per pass instead of three
// per corner, and no fresh driver buffer for every few thousand vertices.
void bindMeshVertices(const std::vector<MeshVertex>& meshVertices) {
  const MeshVertex* v = meshVertices.data();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), &v->x);
  glNormalPointer(GL_FLOAT, sizeof(MeshVertex), &v->nx);
  glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex), &v->s);
}

// Leaves the current texture coordinate and normal those of the last corner
// drawn, as a glBegin/glEnd of the same corners would.
void unbindMeshVertices(const std::vector<MeshVertex>& meshVertices, const Mesh3ds& mesh) {
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  if (mesh.faceCount == 0) return;
  const MeshVertex& last = meshVertices[size_t(mesh.faces.back())];
  glTexCoord2f(last.s, last.t);
  glNormal3f(last.nx, last.ny, last.nz);
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

void Scene3ds::beginCamera(const ViewCamera& camera) {
  glViewport(0, 0, 512, 384);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(fieldOfView, 1.3333333333333333, 1.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const Vector3 eye(-camera.position.x, -camera.position.y, -camera.position.z);
  const Vector3 centre = eye - camera.forward;
  gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, camera.up.x, camera.up.y,
            camera.up.z);
}

void Scene3ds::endCamera() {
  popMatrices();
}

void Scene3ds::drawMesh(int index, const LightShafts& light, int source) {
  drawMeshLit(index, light.position, light.colour, source);
}

void Scene3ds::drawMeshLit(int index, const Vector3& lightPosition, const float lightColour[3],
                           int source) {
  if (index < 0 || index >= meshCount || !meshes[size_t(index)]) return;
  const Mesh3ds& mesh = *meshes[size_t(index)];

  glPushMatrix();
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
  glColorMaterial(GL_FRONT, GL_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glMaterialfv(GL_FRONT, GL_AMBIENT, mesh.ambient);
  glMaterialfv(GL_FRONT, GL_SPECULAR, mesh.specular);
  glMaterialf(GL_FRONT, GL_SHININESS, mesh.shininess);

  // Placed while the modelview holds only the camera: the light is in world space.
  const float lightPos[4] = {lightPosition.x, lightPosition.y, lightPosition.z, mesh.lightW};
  const float white[4] = {1, 1, 1, 1};
  const float colour[4] = {lightColour[0], lightColour[1], lightColour[2], 1};
  glLightfv(GL_LIGHT0, GL_POSITION, lightPos);
  glLightfv(GL_LIGHT0, GL_AMBIENT, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
  glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
  glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, mesh.spotExponent);
  glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, mesh.constantAttenuation);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, mesh.linearAttenuation);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, mesh.quadraticAttenuation);

  glTranslatef(mesh.position.x, mesh.position.y, mesh.position.z);
  glRotatef(float(mesh.rotation[1] * kRadiansToDegrees), 0, 1, 0);
  glRotatef(float(mesh.rotation[2] * kRadiansToDegrees), 0, 0, 1);
  glRotatef(float(mesh.rotation[0] * kRadiansToDegrees), 1, 0, 0);
  glScalef(mesh.scale.x, mesh.scale.y, mesh.scale.z);

  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_POLYGON_SMOOTH);
  if (mesh.cullBackFaces) {
    glEnable(GL_CULL_FACE);
  } else {
    glDisable(GL_CULL_FACE);
  }

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
  const bool drawn = fillMeshVertices(vertices, mesh, source);
  if (drawn) bindMeshVertices(vertices);
  for (size_t p = 0; p < passCount; ++p) {
    const MeshPass& pass = passes[p];
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, pass.texEnv);
    if (pass.texture2d) {
      glEnable(GL_TEXTURE_2D);
    } else {
      glDisable(GL_TEXTURE_2D);
    }
    if (pass.blend) {
      glEnable(GL_BLEND);
    } else {
      glDisable(GL_BLEND);
    }
    if (pass.blendSrc != 0) glBlendFunc(pass.blendSrc, pass.blendDst);
    glDepthFunc(pass.depthFunc);
    glBindTexture(GL_TEXTURE_2D, pass.reflection ? mesh.envTexture : mesh.baseTexture);
    setSphereMap(pass.reflection);
    const float alpha = pass.reflection ? mesh.envAlpha : mesh.baseAlpha;
    glColor4f(mesh.diffuse[0] * pass.colourFactor, mesh.diffuse[1] * pass.colourFactor,
              mesh.diffuse[2] * pass.colourFactor, alpha);
    if (drawn) {
      glDrawElements(GL_TRIANGLES, mesh.faceCount * 3, GL_UNSIGNED_INT, mesh.faces.data());
    }
  }
  if (drawn) unbindMeshVertices(vertices, mesh);

  glPopMatrix();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHT0);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_COLOR_MATERIAL);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glDepthFunc(GL_LESS);
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_TEXTURE_GEN_R);
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
  blueBuffer.resize(size_t(kBandWidth) * kBandHeight);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glReadPixels(0, kBandY, kBandWidth, kBandHeight, GL_BLUE, GL_UNSIGNED_BYTE, blueBuffer.data());
  maskFromBlueBand(blueBuffer.data(), light.occlusionMask, light.gridWidth, light.gridHeight);
}

void Scene3ds::occludeByDepth(const ViewCamera& camera, LightShafts& light) {
  depthBuffer.resize(size_t(kBandWidth) * kBandHeight);
  const float lightDepth = lightDepthValue(camera, light.position);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glReadPixels(0, kBandY, kBandWidth, kBandHeight, GL_DEPTH_COMPONENT, GL_FLOAT,
               depthBuffer.data());
  occludeFromDepthBand(depthBuffer.data(), lightDepth, light.occlusionMask, light.gridWidth,
                       light.gridHeight);
}
