#include "scenes/triangle_fractal.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/feedback_buffer.h"
#include "effects/light_shafts.h"
#include "host/host.h"
#include "host/render_path.h"
#include "models/scene3ds.h"
#include "platform/asset_path.h"
#include "platform/tick_clock.h"
#include "scenes/geometry_stats.h"
#include "software/software_passes.h"

TriangleFractalScene triangleFractalScene;

namespace {

constexpr int kStoneSlot = 18;     // Images/kivio.jpg
constexpr int kGreenEnvSlot = 28;  // Images/env1g.jpg
constexpr int kFaceSlot = 0;       // face and shafts
constexpr int kFractalSlot = 2;    // fractal, then its swirl
constexpr int kSwirlResult = kFractalSlot + 6;

FractalLineBatch lineBatch;  // 688 KB: static, refilled every frame

void buildLights(TriangleFractalScene& s) {
  LightShafts& a = *(s.faceLight = new LightShafts(128, 96, 128, 128, 0.2f, 1.0f));
  a.setPalette(1, 1, 1, 0, 0, 0);
  a.noFlareTest = 0;
  a.smoothMask = 0;
  a.flareIntensity = 5.0f;
  a.zoomPasses = 0;
  a.shaftLength = 0.605f;
  a.passCounter = 1;
  a.position = Vector3(0, 0, -10);
  a.camera = &s.camera;
  a.fillMask(255);

  LightShafts& b = *(s.shaftLight = new LightShafts(128, 96, 256, 256, 0.08f, 1.0f));
  b.setPalette(1, 1, 1.3f, 1, 1, 1);
  b.noFlareTest = 1;
  b.smoothMask = 1;
  b.flareIntensity = 5.0f;
  b.zoomPasses = 7;
  b.shaftLength = 0.505f;
  b.passCounter = 1;
  b.position = Vector3(1, 2, 10);
  b.camera = &s.camera;
  b.fillMask(255);
  b.expTone = 1;
  b.toneGain = 4.0f;
  b.shaftSpread = 0.23f;
  b.rayNoiseOn = 1;
  b.buildRayNoise(16, 2, 25, 0, 1280, 2.5f);
  b.noiseSpeed = 165.0f;
}

void buildFaces(TriangleFractalScene& s) {
  Scene3ds& m = *(s.models = new Scene3ds(20));
  m.uvScale = 1.0f;
  m.geometryScale = 1.0f;
  m.trueNormals = 1;
  s.baseMesh = m.meshCount;
  m.load(assetPath("Models/naama.3ds"));
  m.load(assetPath("Models/naamaH.3ds"));
  for (int i = 0; i < m.meshCount; ++i) {
    Mesh3ds& mesh = *m.meshes[size_t(i)];
    mesh.baseTexture = kStoneSlot;
    mesh.envTexture = kGreenEnvSlot;
    mesh.renderMode = 1;
    mesh.basePass = 1;
    setMaterialColour(mesh.diffuse, 0.09f, 0.12f, 0.27f);
    setMaterialColour(mesh.specular, 0.45f, 0.45f, 0.6f);
    setMaterialColour(mesh.ambient, 0, 0, 0);
    mesh.shininess = 9.0f;
    mesh.baseAlpha = 0.55f;
    mesh.envAlpha = 1.0f;
    mesh.lightW = 0;
    mesh.spotExponent = 0;
    mesh.constantAttenuation = 2.0f;
    mesh.linearAttenuation = 0.001f;
    mesh.quadraticAttenuation = 0;
    mesh.cullBackFaces = 0;
  }
}

// Face and shafts into slot 0, on the previous frame's counter and u.
// Without `draw` only the state it keeps changes.
void drawFacePass(TriangleFractalScene& s, int face, bool draw) {
  Scene3ds& m = *s.models;
  LightShafts& shafts = *s.shaftLight;
  if (draw) {
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
  }
  m.fieldOfView = 100.0f;
  if (draw) m.beginCamera(s.camera);
  const int mesh = s.baseMesh + face - 1;
  m.setMeshRotation(mesh, s.faceAngles[0], s.faceAngles[1], s.faceAngles[2]);
  m.setMeshPosition(mesh, Vector3(0, 0.95f, -3));
  if (draw) {
    m.drawMesh(mesh, *s.faceLight, 0);
    m.maskFromBrightness(shafts);
  }
  shafts.passCounter = 1;
  if (draw) {
    m.endCamera();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    popMatrices();
  }

  const float I = float(s.clockMs);
  if (face == 1) {
    shafts.position = Vector3(3.0f * std::cos(0.002f * I + 0.4f), 4, 10);
  } else {
    shafts.position = Vector3(1.5f * std::cos(0.002f * I + 1.9f), -2.8f, 10);
  }
  shafts.passCounter = 1;
  shafts.shaftLength = 0.61f;
  shafts.drawShafts(draw);
  if (!draw) return;
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  pushIdentityMatrices();
  s.feedback->captureFrame(kFaceSlot);
  glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

void flushTriangleOutlines(FractalLineBatch& batch, bool additiveBlend) {
  if (batch.leafCount == 0) return;
  // Identity matrices: x in [-1, 1] spans the 512 columns, y the 384 rows,
  // of which the band starts at row 64; only the band is ever captured.
  const LinePlacement placement = {256.0f, 256.0f, 192.0f, 128.0f};
  if (additiveBlend && renderPath() == RenderPath::Software &&
      softwareLines(batch.vertices, kFractalFloatsPerVertex, batch.leafCount * 3, placement)) {
    batch.leafCount = 0;
    return;
  }
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  const GLsizei stride = GLsizei(sizeof(float) * kFractalFloatsPerVertex);
  glVertexPointer(3, GL_FLOAT, stride, batch.vertices);
  glColorPointer(4, GL_FLOAT, stride, batch.vertices + 3);
  glDrawArrays(GL_LINES, 0, batch.leafCount * 6);
  glPopClientAttrib();
  batch.leafCount = 0;
}

void initTriangleFractalScene() {
  TriangleFractalScene& s = triangleFractalScene;
  s.cycle = FractalCycle{};
  s.cycle.pulseScale = 0.1f;
  s.feedback = new FeedbackBuffer;
  s.camera.position = Vector3(0, 5, -5);
  s.camera.forward = Vector3(0, 0, 1);
  buildLights(s);
  buildFaces(s);
}

void renderTriangleFractalScene(int deltaMs, bool draw) {
  TriangleFractalScene& s = triangleFractalScene;
  s.camera.position = Vector3(0, 0, 0);
  s.camera.lookAt(Vector3(0, 0, 15));
  s.camera.orthonormalize();

  if (draw) pushIdentityMatrices();
  s.faceLight->position = Vector3(-1, -1, 50);

  const float u0 = s.cycle.pulsePhase;
  const int face = fractalFace(s.cycle.halfCycleCounter);
  if (face == 1) {
    s.faceAngles[0] = 0.45f * std::cos(1.12f * u0) - 0.1f;
    s.faceAngles[2] = 0.1f * std::cos(1.68f * u0 + 0.224f);
  } else if (face == 2) {
    s.faceAngles[0] = 0.4f * std::cos(1.8f * (1.0f - u0)) - 0.1f;
    s.faceAngles[2] = 0.1f * std::cos(2.7f * (1.0f - u0) + 0.36f);
  }
  s.faceAngles[1] = 0;
  if (face != 0) drawFacePass(s, face, draw);

  if (draw) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
  }

  FractalTriangle root;
  fractalRootTriangle(s.seconds, root);
  stepFractalCycle(s.cycle, s.floatClockMs);
  setFractalOffsets(root, s.seconds, s.cycle.pulseAmplitude);

  if (draw) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.0f);
    glColor4f(1, 1, 1, 1);
    float d[3];
    fractalDisplacement(s.cycle.halfCycleCounter, s.cycle.pulsePhase, d);
    const int64_t leavesStarted = tickNanoseconds();
    subdivideTriangle(kFractalDepth, root, d[0], d[1], d[2], lineBatch);
    geometryStats.nanoseconds += tickNanoseconds() - leavesStarted;
    // The blend is (source alpha, destination alpha) where this scene's face
    // pass or its last frame's composites set it; on its first frame it is
    // whatever the scene before left.
    flushTriangleOutlines(lineBatch, face != 0 || s.blendSet);
    glDisable(GL_LINE_SMOOTH);
  }

  s.clockMs += deltaMs;
  s.seconds += 0.001f * float(deltaMs);
  s.floatClockMs += float(deltaMs);
  if (draw) popMatrices();

  // The first face wears the previous frame's swirl.
  if (s.models->meshCount > 0) s.models->meshes[0]->baseTexture = s.feedback->textures[kSwirlResult];
  // What follows is GL only; blendSet describes GL state, so only a drawn
  // frame sets it.
  if (!draw) return;

  glClearColor(0.02f, 0.016f, 0.013f, 1);
  const float u = s.cycle.pulsePhase;
  const float I = float(s.clockMs);
  const float F = s.floatClockMs;
  const float w = 0.5f * std::sin(2.0f * kMathPi * 0.000125f * I) + 2.5f;
  s.feedback->captureFrame(kFractalSlot);
  s.feedback->swirlZoom(kFractalSlot, 1.2f, 0, 1.3f - 0.3f * std::sin(kMathPi * u), 1.8f,
                        50.0f * std::cos(5.0f * w + 0.00004511f * F),
                        50.0f * std::sin(0.00000512f * F + 5.0f * w * 0.3241f), -0.15f);
  s.feedback->captureFrame(kFractalSlot);

  if (face != 0) s.feedback->crossfade(fractalCrossfadeWeight(u), kFaceSlot, kFractalSlot);
  s.blendSet = true;
}
