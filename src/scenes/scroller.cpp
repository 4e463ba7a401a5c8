#include "scenes/scroller.h"

#include <GL/gl.h>

#include "effects/light_shafts.h"
#include "models/scene3ds.h"
#include "platform/asset_path.h"
#include "scenes/belt_letters.h"

ScrollerScene scrollerScene;

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

void buildLight(ScrollerScene& s) {
  LightShafts& l = *(s.light = new LightShafts(128, 96, 256, 256, 0.25f, 0.82f));
  l.setPalette(1.4f, 1.6f, 1.5f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 3.0f;
  l.zoomPasses = 7;
  l.shaftLength = 0.6f;
  l.passCounter = 1;
  l.shaftSpread = 0.3898f;
  l.toneGain = 0.55f;
  l.expTone = 1;
  l.camera = &s.camera;
  l.rayNoiseOn = 1;
  l.buildRayNoise(10, 2, 11, 0, 1024, 2.5f);
  l.noiseSpeed = 180.0f;
}

void buildModels(ScrollerScene& s) {
  Scene3ds& m = *(s.models = new Scene3ds(200));
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

// Poses the robot's meshes and, with `draw`, draws them.
void drawRobot(ScrollerScene& s, bool draw) {
  Scene3ds& m = *s.models;
  if (draw) {
    glPushMatrix();
    glTranslatef(0, -11, -18.26f);
    glRotatef(-90, 0, 0, 1);
    glRotatef(-90, 1, 0, 0);
  }
  const float grip = 1.52f * beltLetters.gripAmount;
  // One cumulative chain: each joint turns everything after it.
  for (int i = 0; i < kRobotJointCount && i < s.robotCount; ++i) {
    const int mesh = s.robotBase + i;
    m.setMeshRotation(mesh, 0, 0, 0);
    m.setMeshPosition(mesh, Vector3(0, 0, 0));
    if (!draw) continue;
    glTranslatef(jointPivotX[i], 0, 0);
    if (i == 7) glTranslatef(0, 0, grip);
    if (i == 8 || i == 9) glTranslatef(0, 0, -grip);
    glRotatef(s.jointAngles[i], jointAxis[i][0], jointAxis[i][1], jointAxis[i][2]);
    glTranslatef(-jointPivotX[i], 0, 0);
    m.drawMesh(mesh, *s.light, 0);
  }
  if (draw) glPopMatrix();
}

// Runs the belt's texture on and, with `draw`, draws the belt.
void drawBelt(ScrollerScene& s, int deltaMs, bool draw) {
  Scene3ds& m = *s.models;
  if (draw) glPushMatrix();
  for (int i = 0; i < s.beltCount; ++i) {
    const int mesh = s.beltBase + i;
    if (i == 0) m.meshes[size_t(mesh)]->uOffset -= beltLetters.beltSpeed * float(deltaMs) * kBeltUPerUnitMs;
    if (draw) m.drawMesh(mesh, *s.light, 0);
  }
  if (draw) glPopMatrix();
}

}  // namespace

void initScrollerScene() {
  ScrollerScene& s = scrollerScene;
  s.camera.position = Vector3(0, 5, -25);
  s.camera.forward = Vector3(0, 0, 1);
  buildLight(s);
  buildModels(s);
  beltLetters.handTarget = Vector3(-20, 4, 0);
  initLetters();
}

void renderScrollerScene(int deltaMs, bool draw) {
  ScrollerScene& s = scrollerScene;
  advanceScrollerClock(s, deltaMs);
  s.models->fieldOfView = 75;
  s.light->position = Vector3(20, 3, 0);

  Vector3 target;
  scrollerCameraPose(s.sceneMs, s.cameraWindow, s.camera.position, target);
  s.camera.lookAt(target);
  s.camera.orthonormalize();
  s.light->noiseMix = 1.0f;
  s.light->fillMask(255);

  if (draw) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glClear(GL_DEPTH_BUFFER_BIT);
    s.models->beginCamera(s.camera);
  }

  updateLetters(float(deltaMs) * 0.001f, draw);
  robotJointAngles(beltLetters.handTarget, beltLetters.handYaw, s.seconds, s.jointAngles);
  drawRobot(s, draw);
  drawBelt(s, deltaMs, draw);

  if (draw) {
    s.models->occludeByDepth(s.camera, *s.light);
    s.models->endCamera();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
  }

  // The new pace holds from the next frame.
  scrollerSpeeds(s.speedWindow, s.seconds, beltLetters.beltSpeed, beltLetters.carrySpeed);

  s.light->noiseDeltaMs = deltaMs;
  s.light->drawShafts(draw);
  s.light->passCounter = 1;
}
