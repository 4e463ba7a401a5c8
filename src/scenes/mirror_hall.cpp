#include "scenes/mirror_hall.h"

#include <algorithm>
#include <cmath>

#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "passes/text_glow_pass.h"
#include "raycast/raycast.h"
#include "scenes/lit_world.h"
#include "scenes/shaft_noise.h"

const MirrorTextPiece kMirrorTextPieces[kMirrorTextPieceCount] = {
    {280, 48, 490, 90},   {94, 0, 420, 50},    {0, 50, 250, 92},
    {0, 92, 320, 145},    {0, 145, 250, 200},  {10, 200, 225, 250},
    {260, 190, 503, 240}, {260, 140, 500, 190}, {340, 90, 445, 140}};

namespace {

constexpr int kSkySlot = 7;     // Images/matosini.jpg
constexpr int kChainTubeSlot = 8;
constexpr int kPaperSlot = 9;
constexpr int kBlueSlot = 14;
constexpr int kTextSlot = 24;
constexpr int kGlowSlot = 25;
constexpr int kGlowPasses = 7;
// Near the end all motion slows to a stop.
constexpr TimeWindow kSlowdownWindow{28.0f, 4.0f, 1.0f};

void setLocalAxes(RayObject& o, const Vector3& u, const Vector3& v, const Vector3& w) {
  o.uAxis.copyFrom(u);
  o.vAxis.copyFrom(v);
  o.wAxis.copyFrom(w);
}

void addObjects(MirrorHallScene& s) {
  RayWorld& w = *s.world;
  w.addSphere({.radius = 500, .inside = true}, {.textureName = kSkySlot, .textureScale = 0.2f});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.15f;
  w.lastAdded->specularGain = 1.0f;

  // The post, widening slightly towards its ball ends, and the two rods.
  w.addTube({.axis = {0, 1.01f, 0}, .radius = 0.75f, .length = 8},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true,
             .receivesShadow = true});
  w.addTube({.axis = {0, -1.01f, 0}, .radius = 0.75f, .length = 8},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true,
             .receivesShadow = true});
  w.addSphere({.position = {0, 8, 0}, .radius = 1.28f},
              {.textureName = kPaperSlot, .castsShadow = true, .receivesShadow = true});
  w.addSphere({.position = {0, -8, 0}, .radius = 1.28f},
              {.textureName = kPaperSlot, .castsShadow = true, .receivesShadow = true});
  w.addTube({.position = {0, 8, 0}, .axis = {1, 0, 0}, .radius = 0.75f, .length = 500},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true,
             .receivesShadow = true});
  w.addTube({.position = {0, -8, 0}, .axis = {1, 0, 0}, .radius = 0.75f, .length = 500},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true,
             .receivesShadow = true});

  // The bowl: outer and inner ellipsoid shells cut at their widest, the
  // ring closing the rim, and the mirror 5 units inside.
  const Vector3 ux(1, 0, 0), uy(0, 1, 0), uz(0, 0, 1);
  w.addTube({.position = {-29, 0, 0}, .axis = {-0.9f, 0, 0}, .radius = 35, .length = 50},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true});
  w.lastAdded->falloffGain = 0;
  w.lastAdded->falloffBase = 0.3f;
  w.lastAdded->specularGain = 1.0f;
  setLocalAxes(*w.lastAdded, uz, ux, uy);
  w.addTube({.position = {-29, 0, 0}, .axis = {-0.9f, 0, 0}, .radius = 30, .length = 50,
             .inside = true},
            {.textureName = kPaperSlot, .textureScale = 0.1f, .castsShadow = true,
             .receivesShadow = true});
  setLocalAxes(*w.lastAdded, uz, ux, uy);
  w.addDisc({.position = {-29, 0, 0}, .normal = {1, 0, 0}, .inner = 30, .outer = 35},
            {.textureName = kPaperSlot, .textureScale = 0.01f, .castsShadow = true,
             .receivesShadow = true});
  setLocalAxes(*w.lastAdded, uy, uz, ux);
  s.mirrorId = w.addDisc({.position = {-34, 0, 0}, .normal = {1, 0, 0}, .inner = 0, .outer = 30},
                         {.textureName = kBlueSlot, .textureScale = 0.01f, .receivesShadow = true,
                          .reflective = true});
  RayObject& mirror = *w.lastAdded;
  mirror.colour.set(0, 0, 0.2f);
  mirror.falloffGain = 0;
  mirror.falloffBase = 0;
  mirror.ripple = 1;

  // The chain: ball j is mirrorId + 1 + 2j, the tube after it mirrorId + 2 + 2j.
  for (int j = 0; j < kMirrorChainBalls; ++j) {
    w.addSphere({.radius = 2.5f},
                {.textureName = kBlueSlot, .textureScale = 0.04f, .castsShadow = true,
                 .receivesShadow = true});
    if (j < kMirrorChainBalls - 1)
      w.addTube({.axis = {1, 0, 0}, .radius = 0.6f, .length = 5},
                {.textureName = kChainTubeSlot, .textureScale = 0.04f, .castsShadow = true,
                 .receivesShadow = true});
  }
}

void buildPaths(MirrorHallScene& s) {
  s.lightPath = SplinePath(4, true);
  s.lightPath.addPoint(-19, -25.575f, 0);
  s.lightPath.addPoint(-19, 0, 25.575f);
  s.lightPath.addPoint(-19, 25.575f, 0);
  s.lightPath.addPoint(-19, 0, -25.575f);
  s.lightPath.computeTangents(15.345f, true);

  s.cameraPath = SplinePath(5, true);
  s.cameraPath.addPoint(40, 0, 0);
  s.cameraPath.addPoint(0, 45, 25);
  s.cameraPath.addPoint(34, 0, 0);
  s.cameraPath.addPoint(-20, -35, -25);
  s.cameraPath.addPoint(20, 20, -25);
  s.cameraPath.computeTangents(15.0f, true);
}

void placeChain(RayWorld& world, int mirrorId, float m) {
  RayObject* objects = world.objects;
  float a[kMirrorChainBalls];
  for (int i = 0; i < kMirrorChainBalls; ++i) {
    a[i] = mirrorChainAngle(i, m);
    const float r = 8.0f * float(i);
    objects[mirrorId + 1 + 2 * i].position.set(-r * std::cos(a[i]), 0, r * std::sin(a[i]));
  }
  for (int j = 0; j < kMirrorChainBalls - 1; ++j) {
    RayObject& tube = objects[mirrorId + 2 + 2 * j];
    const float r = 8.0f * float(j) + 2.5f;
    tube.position.set(-r * std::cos(a[j]), 0, r * std::sin(a[j]));
    const float b = 0.75f * a[j + 1] + 0.25f * a[j];
    const float reach = 8.0f * float(j) + 7.5f;
    const float ex = -reach * std::cos(b);
    const float ez = reach * std::sin(b);
    const float phi = angleOf(ex - tube.position.x, ez - tube.position.z);
    tube.axis.set(std::cos(1.570795f - phi), 0, std::sin(1.570795f - phi));
  }
}

void rippleMirror(MirrorHallState& s, float m) {
  s.ripplePhase = -0.01f * m;
  if (s.cyclePhaseMs > 2500 && s.cyclePhaseMs < 6500) {
    const float p = 0.001f * float(s.cyclePhaseMs);
    s.rippleAmplitude = (std::sin(1.5140192771084335f * (p - 2.5f) - 1.570795f) + 1.0f) * 0.5f;
    s.rippleFrequency = 0.175f * (p - 2.5f);
  } else {
    s.rippleAmplitude *= 0.7f;
    s.rippleFrequency *= 0.9f;
  }
}

}  // namespace

MirrorHallScene::MirrorHallScene() = default;
MirrorHallScene::~MirrorHallScene() = default;

void buildMirrorWorld(MirrorHallScene& s, MirrorHallState& state) {
  state = MirrorHallState{};
  s.world = std::make_unique<RayWorld>(35);
  RayWorld& w = *s.world;
  w.lightFlags = 3;
  w.falloffBase = 2.0f;
  w.falloffGain = 0.2f;
  w.falloffRange = 1.0f;
  w.specularGain = 1.0f;
  w.shadowFactor = 0.3f;
  addObjects(s);
  w.glowGain = 1.2f;
  state.camera.position.set(0, 5, -25);
  state.camera.forward.set(0, 0, 1);
  buildPaths(s);
}

void stepMirrorMotion(MirrorHallState& s, const MirrorHallScene& scene, int frameDeltaMs) {
  s.sceneSeconds += 0.001f * float(frameDeltaMs);
  const float speed = kSlowdownWindow.ringOut(s.sceneSeconds, 1.0f, 0.8f);
  s.motionClockMs += float(frameDeltaMs) * speed;
  s.cyclePhaseMs = int(s.motionClockMs) % 7000;
  const float m = s.motionClockMs;

  // The camera starts far out and reaches its path at 3000 ms.
  scene.cameraPath.evaluate(0.000025f * m, s.camera.position);
  if (m < 3000.0f) {
    const float q = m / 1200.0f;
    s.camera.position.scaleBy(7.25f - q * q);
  }
  s.camera.lookAt(Vector3(10.0f * std::cos(0.0001f * m) - 35.0f,
                          3.0f * std::cos(0.00001f * m + 43.0f), 10.0f * std::sin(0.000154f * m)));

  scene.lightPath.evaluate(0.00005f * m + 0.5f, s.lightPosition);
  rippleMirror(s, m);
}

void advanceMirrorHall(MirrorHallState& s, const MirrorHallScene& scene, int frameDeltaMs,
                       float& noiseClock) {
  stepMirrorMotion(s, scene, frameDeltaMs);
  advanceShaftNoise(*scene.light, drawnCamera(s.camera, 2), s.lightPosition, frameDeltaMs, noiseClock);
}

void placeMirrorObjects(const MirrorHallState& s, MirrorHallScene& scene) {
  RayObject& mirror = scene.world->objects[scene.mirrorId];
  mirror.ripplePhase = s.ripplePhase;
  mirror.rippleAmplitude = s.rippleAmplitude;
  mirror.rippleFrequency = s.rippleFrequency;
  placeChain(*scene.world, scene.mirrorId, s.motionClockMs);
}

float mirrorChainAngle(int ball, float m) {
  return 1.570795f * std::sin((0.00314159f * m - 8.168134f) / 7.0f - 0.05f * float(ball));
}

float textPieceStrength(int piece, float seconds) {
  const float shift = 2.68f * float(piece);
  const TimeWindow fadeIn{7.3f + shift, 1.9f, 1.0f};
  const TimeWindow fadeOut{12.0f + shift, 1.9f, 1.0f};
  return fadeOut.ringOut(seconds, 1.0f, 0.5f) * fadeIn.easeIn(seconds, 1.0f, 0.5f);
}

float textGlowOffset(int pass, float strength) {
  const float spread = 0.06f - 0.06f * strength;
  return float(pass + 1) * spread * 0.142857f;
}

namespace {

// Tint of a piece at strength a: warm white, bluer while faint.
void glowTint(float a, float tint[3]) {
  const float warm = std::min(1.0f, (1.5f * a) * (1.5f * a));
  tint[0] = tint[1] = warm;
  tint[2] = std::min(1.0f, std::sqrt(1.5f * a));
}

}  // namespace

GlowRows drawTextGlow(Gfx& gfx, float seconds, int sourceTexture, int glowTexture,
                      SoftwarePasses* software) {
  GlowPiece pieces[kMirrorTextPieceCount];
  float strength[kMirrorTextPieceCount];
  int count = 0;
  for (int k = 0; k < kMirrorTextPieceCount; ++k) {
    const float a = textPieceStrength(k, seconds);
    if (!(a > 0.0f)) continue;
    // Pixel centres inside the quad; rows from the top become band rows.
    const MirrorTextPiece& r = kMirrorTextPieces[k];
    GlowPiece& p = pieces[count];
    p.x0 = int(std::ceil(r.x0 - 0.5f));
    p.x1 = int(std::ceil(r.x1 - 0.5f));
    p.row0 = int(std::ceil(float(kBandRect.height) - r.y1 - 0.5f));
    p.row1 = int(std::ceil(float(kBandRect.height) - r.y0 - 0.5f));
    glowTint(a, p.tint);
    strength[count++] = a;
  }
  float offsets[kGlowPasses * kMirrorTextPieceCount];
  for (int n = 0; n < kGlowPasses; ++n)
    for (int i = 0; i < count; ++i) offsets[n * count + i] = textGlowOffset(n, strength[i]);

  TextGlowJob job;
  job.source = TextureName(sourceTexture);
  job.glow = TextureName(glowTexture);
  job.pieces = pieces;
  job.pieceCount = count;
  job.offsets = offsets;
  // With no piece showing every pass would copy the same empty band.
  job.passCount = count > 0 ? kGlowPasses : 1;
  return runTextGlow(gfx, software, job);
}

void drawAdditiveBand(Gfx& gfx, int texture, const GlowRows& rows) {
  Pass pass = scenePass(Blend::kAdd, Combine::kAdd, TextureName(texture));
  pass.state.scissored = true;
  pass.state.scissor = {0, kBandRect.y + rows.begin, kBandRect.width, rows.end - rows.begin};
  const BandQuad band = bandQuad(1.0f);
  drawQuads(gfx, pass, band.corners, 4);
}

void loadMirrorHall(MirrorHallScene& s, MirrorHallState& state) {
  buildMirrorWorld(s, state);
  s.light = std::make_unique<LightShafts>(128, 96, 256, 256, 0.07f, 0.5f);
  LightShafts& l = *s.light;
  l.setPalette(1.75f, 1.75f, 1.0f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 10.0f;
  l.zoomPasses = 0;
  l.shaftLength = 0.405f;
  l.passCounter = 1;
  l.shaftSpread = 0.2f;
  l.toneGain = 0.7f;
  l.expTone = 0;
  l.rayNoiseOn = 0;  // so no noise table is made
  l.noiseSpeed = 110.0f;
}

void drawMirrorHall(const MirrorHallState& s, MirrorHallScene& scene,
                    const FrameContext& frame, float noiseClock) {
  RayWorld& world = *scene.world;
  LightShafts& light = *scene.light;
  clearFrame(*frame.gfx, kBlack);
  aimLitWorld(world, light, scene.camera, s.camera, s.lightPosition);
  placeMirrorObjects(s, scene);
  const float m = s.motionClockMs;

  light.noiseMix = 1.0f;
  const GlowRows glow = drawTextGlow(*frame.gfx, s.sceneSeconds, kTextSlot, kGlowSlot,
                                     frame.software);
  light.setPalette(0.5f * std::sin(0.001f * m) + 1.5f, 0.5f * std::sin(0.0002f * m) + 1.5f,
                   0.5f * std::sin(0.0003f * m) + 1.5f, 0, 0, 0);
  light.fillMask(255);
  scene.camera.orthonormalize();
  // Only the shafts and the glow follow, which test no depth.
  renderRayGrid(*frame.gfx, *frame.rayGrid, world, GridDepth::Unread, frame.software,
                *frame.rayStats);

  light.passCounter = 1;
  light.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
  drawAdditiveBand(*frame.gfx, kGlowSlot, glow);
}
