#include "scenes/scroller.h"

#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "models/scene3ds.h"
#include "platform/asset_path.h"
#include "scenes/lit_world.h"
#include "scenes/shaft_noise.h"

namespace {

// Texture slots filled at start-up.
constexpr unsigned kKivioSlot = 18;
constexpr unsigned kSphereEnvSlot = 27;
constexpr unsigned kDryGrassSlot = 20;
constexpr unsigned kGreenEnvSlot = 28;
constexpr unsigned kRockSlot = 17;
constexpr unsigned kGreyEnvSlot = 16;
constexpr unsigned kPlateSlot = 31;

// One texture repeat of the belt is 54.6 units.
constexpr float kBeltUPerUnitMs = 0.000018315018315018315f;
// From 32 s over 4 s the belt and the arm speed up.
constexpr TimeWindow kSpeedWindow{32, 4};

struct Look {
  unsigned baseTexture, envTexture;
  int renderMode;
  float diffuse[3], specular[3], ambient[3];
  float shininess, envAlpha;
  float constantAttenuation;
  float spotExponent, lightW;
  int basePass, cullBackFaces;
};
const Look kRobotLook = {kKivioSlot, kSphereEnvSlot, 5, {0.075f, 0.075f, 0.075f},
                         {0.15f, 0.25f, 0.175f}, {0.02f, 0.02f, 0.03f}, 1, 0.5f, 2, 0, 1, 1, 1};
const Look kGlyphLook = {kDryGrassSlot, kGreenEnvSlot, 1, {0.205f, 0.15f, 0.15f}, {0, 0, 0},
                         {0.524f, 0.524f, 0.54f}, 1, 1.0f, 8, 1, 0, 0, 1};
const Look kBeltLook = {kRockSlot, kGreyEnvSlot, 5, {0.075f, 0.075f, 0.075f},
                        {0.15f, 0.1f, 0.1f}, {0.2f, 0.2f, 0.3f}, 10, 0.5f, 8, 1, 1, 0, 0};

void setColour(float* c, const float* rgb) {
  c[0] = rgb[0];
  c[1] = rgb[1];
  c[2] = rgb[2];
  c[3] = 1;
}

void applyLook(Mesh3ds& m, const Look& look) {
  m.baseTexture = look.baseTexture;
  m.envTexture = look.envTexture;
  m.renderMode = look.renderMode;
  setColour(m.diffuse, look.diffuse);
  setColour(m.specular, look.specular);
  setColour(m.ambient, look.ambient);
  m.shininess = look.shininess;
  m.baseAlpha = 1.0f;
  m.envAlpha = look.envAlpha;
  m.constantAttenuation = look.constantAttenuation;
  m.linearAttenuation = 0.001f;
  m.quadraticAttenuation = 0;
  m.spotExponent = look.spotExponent;
  m.lightW = look.lightW;
  m.basePass = look.basePass;
  m.cullBackFaces = look.cullBackFaces;
  m.position = Vector3(0, 0, 0);
}

void loadPart(Scene3ds& m, const char* path, int& base, int& count) {
  m.uvScale = 1.0f;
  m.geometryScale = 1.0f;
  base = m.meshCount;
  m.load(assetPath(path));
  count = m.meshCount - base;
}

void buildLight(ScrollerScene& s, RayNoiseTables& noise) {
  s.light = std::make_unique<LightShafts>(128, 96, 256, 256, 0.25f, 0.82f);
  LightShafts& l = *s.light;
  l.setPalette(1.4f, 1.6f, 1.5f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 3.0f;
  l.zoomPasses = 7;
  l.shaftLength = 0.6f;
  l.passCounter = 1;
  l.shaftSpread = 0.3898f;
  l.toneGain = 0.55f;
  l.expTone = 1;
  l.rayNoiseOn = 1;
  l.rayNoise = noise.get(kScrollerRayNoise);
  l.noiseSpeed = 180.0f;
  l.position = Vector3(20, 3, 0);
  l.noiseMix = 1.0f;
}

void buildModels(ScrollerScene& s) {
  s.models = std::make_unique<Scene3ds>(200);
  Scene3ds& m = *s.models;
  loadPart(m, "Models/robo.3ds", s.robotBase, s.robotCount);
  loadPart(m, "Models/font.3ds", s.fontBase, s.fontCount);
  loadPart(m, "Models/hihna.3ds", s.beltBase, s.beltCount);
  for (int i = 0; i < s.robotCount; ++i) applyLook(*m.meshes[size_t(s.robotBase + i)], kRobotLook);
  for (int i = 0; i < s.fontCount; ++i) applyLook(*m.meshes[size_t(s.fontBase + i)], kGlyphLook);
  for (int i = 0; i < s.beltCount; ++i) applyLook(*m.meshes[size_t(s.beltBase + i)], kBeltLook);
  // The font's backing plate, after the glyphs, is never drawn here.
  if (s.fontCount > 0) {
    Mesh3ds& plate = *m.meshes[size_t(s.fontBase + s.fontCount - 1)];
    plate.baseTexture = kPlateSlot;
    plate.envTexture = kGreyEnvSlot;
    plate.renderMode = 5;
    const float diffuse[3] = {0.025f, 0.025f, 0.1f};
    const float black[3] = {0, 0, 0};
    const float ambient[3] = {0.06f, 0.06f, 0.115f};
    setColour(plate.diffuse, diffuse);
    setColour(plate.specular, black);
    setColour(plate.ambient, ambient);
  }
}

// Poses the robot's meshes and draws them.
void drawRobot(const ScrollerState& state, ScrollerScene& s) {
  Scene3ds& m = *s.models;
  float angles[kRobotJointCount];
  robotJointAngles(state.letters.handTarget, state.letters.handYaw, state.seconds, angles);
  Mat4 placed = translated(m.view, 0, -11, -18.26f);
  placed = rotated(placed, -90, 0, 0, 1);
  placed = rotated(placed, -90, 1, 0, 0);
  const float grip = 1.52f * state.letters.gripAmount;
  // One cumulative chain: each joint turns everything after it.
  for (int i = 0; i < kRobotJointCount && i < s.robotCount; ++i) {
    const int mesh = s.robotBase + i;
    m.setMeshRotation(mesh, 0, 0, 0);
    m.setMeshPosition(mesh, Vector3(0, 0, 0));
    placed = translated(placed, jointPivotX[i], 0, 0);
    if (i == 7) placed = translated(placed, 0, 0, grip);
    if (i == 8 || i == 9) placed = translated(placed, 0, 0, -grip);
    placed = rotated(placed, angles[i], jointAxis[i][0], jointAxis[i][1], jointAxis[i][2]);
    placed = translated(placed, -jointPivotX[i], 0, 0);
    m.drawMeshIn(placed, mesh, *s.light, 0);
  }
}

// The belt, its texture run on to the state's offset.
void drawBelt(const ScrollerState& state, ScrollerScene& s) {
  Scene3ds& m = *s.models;
  for (int i = 0; i < s.beltCount; ++i) {
    const int mesh = s.beltBase + i;
    if (i == 0) m.meshes[size_t(mesh)]->uOffset = state.beltOffset;
    m.drawMesh(mesh, *s.light, 0);
  }
}

}  // namespace

ScrollerScene::ScrollerScene() = default;
ScrollerScene::~ScrollerScene() = default;

void loadScroller(ScrollerScene& s, ScrollerState& state, RayNoiseTables& noise) {
  state = ScrollerState{};
  state.camera.position = Vector3(0, 5, -25);
  state.camera.forward = Vector3(0, 0, 1);
  buildLight(s, noise);
  buildModels(s);
  if (s.beltCount > 0) state.beltOffset = s.models->meshes[size_t(s.beltBase)]->uOffset;
  state.letters.handTarget = Vector3(-20, 4, 0);
  initLetters(state.letters);
}

void advanceScroller(ScrollerState& s, const ScrollerScene& scene, int deltaMs,
                     float& noiseClock) {
  advanceScrollerClock(s, deltaMs);
  ++s.framesRun;
  Vector3 target;
  TimeWindow stage;
  scrollerCameraPose(s.sceneMs, stage, s.camera.position, target);
  s.camera.lookAt(target);
  advanceLetters(s.letters, float(deltaMs) * 0.001f);
  s.beltOffset -= s.letters.beltSpeed * float(deltaMs) * kBeltUPerUnitMs;
  // The new pace holds from the next frame.
  scrollerSpeeds(kSpeedWindow, s.seconds, s.letters.beltSpeed, s.letters.carrySpeed);
  advanceShaftNoise(*scene.light, drawnCamera(s.camera, 1), scene.light->position, deltaMs, noiseClock);
}

void drawScroller(const ScrollerState& s, ScrollerScene& scene,
                  const FrameContext& frame, float noiseClock) {
  Scene3ds& models = *scene.models;
  LightShafts& light = *scene.light;
  models.fieldOfView = 75;
  scene.camera = drawnCamera(s.camera, 1);
  light.camera = &scene.camera;
  light.fillMask(255);

  clearDepth(*frame.gfx);
  models.beginCamera(*frame.gfx, scene.camera);
  drawLetters(s.letters, GlyphFont{&models, scene.fontBase, scene.fontCount, &light});
  drawRobot(s, scene);
  drawBelt(s, scene);
  models.occludeByDepth(scene.camera, light);

  // The shafts show the default flare on the scene's first frame, the
  // light's own from the second on.
  light.visibleFlare = s.framesRun > 1 ? light.flareIntensity : kDefaultFlare;
  light.drawShafts(*frame.gfx, noiseClock, *frame.shaftStats);
  light.passCounter = 1;
}
