#include "scenes/triangle_fractal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/feedback_buffer.h"
#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "models/scene3ds.h"
#include "passes/smooth_lines_pass.h"
#include "platform/asset_path.h"
#include "platform/tick_clock.h"
#include "scenes/geometry_stats.h"

namespace {

constexpr int kStoneSlot = 18;     // Images/kivio.jpg
constexpr int kGreenEnvSlot = 28;  // Images/env1g.jpg
constexpr int kFaceSlot = 0;       // face and shafts
constexpr int kFractalSlot = 2;    // fractal, then its swirl
constexpr int kSwirlResult = kFractalSlot + 6;

void buildLights(TriangleFractalScene& s, RayNoiseTables& noise) {
  s.faceLight = std::make_unique<LightShafts>(128, 96, 128, 128, 0.2f, 1.0f);
  LightShafts& a = *s.faceLight;
  a.setPalette(1, 1, 1, 0, 0, 0);
  a.noFlareTest = 0;
  a.smoothMask = 0;
  a.flareIntensity = 5.0f;
  a.zoomPasses = 0;
  a.shaftLength = 0.605f;
  a.passCounter = 1;
  a.fillMask(255);

  s.shaftLight = std::make_unique<LightShafts>(128, 96, 256, 256, 0.08f, 1.0f);
  LightShafts& b = *s.shaftLight;
  b.setPalette(1, 1, 1.3f, 1, 1, 1);
  b.noFlareTest = 1;
  b.smoothMask = 1;
  b.flareIntensity = 5.0f;
  b.zoomPasses = 7;
  b.shaftLength = 0.505f;
  b.passCounter = 1;
  b.fillMask(255);
  b.expTone = 1;
  b.toneGain = 4.0f;
  b.shaftSpread = 0.23f;
  b.rayNoiseOn = 1;
  b.rayNoise = noise.get(kTriangleFractalRayNoise);
  b.noiseSpeed = 165.0f;
}

void buildFaces(TriangleFractalScene& s) {
  s.models = std::make_unique<Scene3ds>(20);
  Scene3ds& m = *s.models;
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

// Face and shafts into slot 0, on the counter, u and clock before the
// frame's step.
void drawFacePass(const TriangleFractalState& s, TriangleFractalScene& scene,
                  const FrameContext& frame, float noiseClock) {
  Scene3ds& m = *scene.models;
  LightShafts& shafts = *scene.shaftLight;
  const int face = s.shownFace;
  const float u0 = s.shownPhase;
  float angles[3] = {0, 0, 0};
  if (face == 1) {
    angles[0] = 0.45f * std::cos(1.12f * u0) - 0.1f;
    angles[2] = 0.1f * std::cos(1.68f * u0 + 0.224f);
  } else {
    angles[0] = 0.4f * std::cos(1.8f * (1.0f - u0)) - 0.1f;
    angles[2] = 0.1f * std::cos(2.7f * (1.0f - u0) + 0.36f);
  }

  clearDepth(*frame.gfx);
  m.fieldOfView = 100.0f;
  m.beginCamera(*frame.gfx, scene.camera);
  const int mesh = scene.baseMesh + face - 1;
  m.setMeshRotation(mesh, angles[0], angles[1], angles[2]);
  m.setMeshPosition(mesh, Vector3(0, 0.95f, -3));
  m.drawMesh(mesh, *scene.faceLight, 0);
  m.maskFromBrightness(shafts);

  const float I = float(s.shownClockMs);
  if (face == 1) {
    shafts.position = Vector3(3.0f * std::cos(0.002f * I + 0.4f), 4, 10);
  } else {
    shafts.position = Vector3(1.5f * std::cos(0.002f * I + 1.9f), -2.8f, 10);
  }
  shafts.passCounter = 1;
  shafts.shaftLength = 0.61f;
  // The default flare on the first face pass, the light's own after.
  shafts.visibleFlare = s.faceFramesRun > 1 ? shafts.flareIntensity : kDefaultFlare;
  shafts.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
  scene.feedback->captureFrame(kFaceSlot);
  clearFrame(*frame.gfx, kFractalBackground);
}

}  // namespace

void flushTriangleOutlines(Gfx& gfx, FractalLineBatch& batch, LineBlend blend,
                           SoftwarePasses* software) {
  if (batch.leafCount == 0) return;
  SmoothLinesJob job;
  job.vertices = batch.vertices;
  job.lineCount = batch.leafCount * 3;
  job.blend = blend == LineBlend::Added ? Blend::kAdd : Blend::kWeighted;
  runSmoothLines(gfx, software, job);
  batch.leafCount = 0;
}

TriangleFractalScene::TriangleFractalScene() = default;
TriangleFractalScene::~TriangleFractalScene() = default;

void loadTriangleFractal(TriangleFractalScene& s, TriangleFractalState& state, Gfx& gfx,
                         SoftwarePasses* software, RayNoiseTables& noise) {
  state = TriangleFractalState{};
  s.feedback = std::make_unique<FeedbackBuffer>(gfx, software);
  s.feedback->background = kFractalAfterglow;
  s.lines = std::make_unique<FractalLineBatch>();
  s.camera.position = Vector3(0, 0, 0);
  s.camera.lookAt(Vector3(0, 0, 15));
  s.camera.orthonormalize();
  buildLights(s, noise);
  buildFaces(s);
  s.faceLight->position = Vector3(-1, -1, 50);
  s.faceLight->camera = &s.camera;
  s.shaftLight->camera = &s.camera;
  // The first face wears the previous frame's swirl.
  if (s.models->meshCount > 0) s.models->meshes[0]->baseTexture = s.feedback->textures[kSwirlResult];
}

void advanceTriangleFractal(TriangleFractalState& s, int deltaMs) {
  s.shownFace = fractalFace(s.cycle.halfCycleCounter);
  s.shownPhase = s.cycle.pulsePhase;
  s.shownClockMs = s.clockMs;
  if (s.shownFace != 0) ++s.faceFramesRun;
  fractalRootTriangle(s.seconds, s.root);
  stepFractalCycle(s.cycle, s.floatClockMs);
  setFractalOffsets(s.root, s.seconds, s.cycle.pulseAmplitude);
  s.clockMs += deltaMs;
  s.seconds += 0.001f * float(deltaMs);
  s.floatClockMs += float(deltaMs);
  ++s.framesRun;
}

void drawTriangleFractal(const TriangleFractalState& s, TriangleFractalScene& scene,
                         const FrameContext& frame, float noiseClock) {
  SoftwarePasses* software = frame.software;
  scene.faceLight->camera = &scene.camera;
  scene.shaftLight->camera = &scene.camera;
  const int face = s.shownFace;
  if (face != 0) drawFacePass(s, scene, frame, noiseClock);

  float d[3];
  fractalDisplacement(s.cycle.halfCycleCounter, s.cycle.pulsePhase, d);
  const int64_t leavesStarted = tickNanoseconds();
  subdivideTriangle(kFractalDepth, s.root, d[0], d[1], d[2], *scene.lines);
  frame.geometryStats->nanoseconds += tickNanoseconds() - leavesStarted;
  // The scene's first frame finds the blend the park's shafts left, adding;
  // every later one that of the face pass or of its last frame's composites.
  const bool first = s.framesRun == 1;
  flushTriangleOutlines(*frame.gfx, *scene.lines,
                        first ? LineBlend::Added : LineBlend::OverDestinationAlpha, software);

  const float u = s.cycle.pulsePhase;
  const float I = float(s.clockMs);
  const float F = s.floatClockMs;
  const float w = 0.5f * std::sin(2.0f * kMathPi * 0.000125f * I) + 2.5f;
  FeedbackBuffer& feedback = *scene.feedback;
  feedback.captureFrame(kFractalSlot);
  feedback.swirlZoom(kFractalSlot, 1.2f, 0, 1.3f - 0.3f * std::sin(kMathPi * u), 1.8f,
                     50.0f * std::cos(5.0f * w + 0.00004511f * F),
                     50.0f * std::sin(0.00000512f * F + 5.0f * w * 0.3241f), -0.15f);
  feedback.captureFrame(kFractalSlot);

  if (face != 0) feedback.crossfade(fractalCrossfadeWeight(u), kFaceSlot, kFractalSlot);
}
