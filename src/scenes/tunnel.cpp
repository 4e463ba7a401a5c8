#include "scenes/tunnel.h"

#include <algorithm>

#include "gfx/gfx.h"
#include "platform/asset_path.h"
#include "raycast/raycast.h"

namespace {

constexpr int kMatoSlot = 7;         // Images/matosini.jpg
constexpr int kGrassSlot = 12;       // Images/grass1.jpg
constexpr int kEmptySlot = 19;       // left empty at start-up
constexpr int kDryGrassSlot = 20;    // Images/kuivaruoho.jpg
constexpr int kSphereEnvSlot = 27;   // Images/sphere2.jpg
constexpr int kTextSlot = 29;        // Images/ukeText.pcx
constexpr int kTextWorkSlot = 30;    // its second copy
constexpr int kTextFeedbackSlot = 2;

constexpr int kPathPoints = 5;
const float kFlyerPaths[kTunnelFlyerCount][kPathPoints][3] = {
    {{-15, 15, 250}, {-15, 15, 125}, {-15, 15, 0}, {-15, 15, -125}, {-15, 15, -250}},
    {{5, 10, 250}, {5, 10, 125}, {5, 10, 0}, {5, 10, -125}, {5, 10, -250}},
    {{-12, -10, 250}, {-12, -10, 125}, {-12, -10, 0}, {-12, -10, -120}, {-12, -10, -250}},
    {{6, -5, 200}, {6, -5, 75}, {6, -5, -50}, {6, -5, -170}, {6, -5, -300}},
    {{-14, -10, 200}, {-14, -10, 75}, {-14, -10, -50}, {-14, -10, -170}, {-14, -10, -300}},
};

// Roll rate (per scene ms) and start of each flyer.
const float kRollRate[kTunnelFlyerCount] = {0.0005f, 0.0004f, 0.0003f, 0.0004f, 0.0002f};
const float kRollStart[kTunnelFlyerCount] = {1.0f, 2.0f, 3.0f, 1.0f, 2.0f};

std::unique_ptr<RayWorld> buildTube(float radius, int texture) {
  auto world = std::make_unique<RayWorld>(2);
  RayWorld& w = *world;
  w.wobble = true;
  w.lightFlags = 1;
  w.falloffRange = 1.0f;
  w.falloffBase = 1.0f;
  w.falloffGain = 0.25f;
  w.addTubeZ({.axisLength = 1.0f, .radius = radius, .length = 0, .inside = true},
             {.textureName = texture, .textureScale = 0.02f, .receivesShadow = true});
  turnTubeAxes(*w.lastAdded, 0.0f);
  return world;
}

void buildLight(TunnelScene& s) {
  s.light = std::make_unique<LightShafts>(128, 96, 128, 128, 0.3f, 3.0f);
  LightShafts& l = *s.light;
  l.setPalette(1.0f, 1.75f, 1.0f, 0, 0, 0);
  l.noFlareTest = 1;
  l.flareIntensity = 0;
  l.zoomPasses = 7;
  l.shaftLength = 0.62f;
  l.expTone = 0;
  l.shaftSpread = 0.23f;
  l.rayNoiseOn = 0;
  l.position = Vector3(0, 0, 0);
  l.camera = &s.camera;
}

void buildModels(TunnelScene& s) {
  s.models = std::make_unique<Scene3ds>(50);
  Scene3ds& m = *s.models;
  m.uvScale = 1.0f;
  m.geometryScale = 2.0f;
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    s.meshStart[k] = m.meshCount;
    // A copy that failed to load (or came short of five meshes) is not flown.
    m.load(assetPath("Models/tora.3ds"));
    s.flyerLoaded[k] = m.meshCount - s.meshStart[k] >= kTunnelFlyerMeshes;
  }
  for (int i = 0; i < m.meshCount; ++i) {
    Mesh3ds& mesh = *m.meshes[size_t(i)];
    mesh.baseTexture = kDryGrassSlot;
    mesh.envTexture = kSphereEnvSlot;
    mesh.renderMode = 5;
    setMaterialColour(mesh.diffuse, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.specular, 0.4f, 0.3f, 0.25f);
    setMaterialColour(mesh.ambient, 0.01f, 0.01f, 0.01f);
    mesh.shininess = 8;
    mesh.baseAlpha = 1.0f;
    mesh.envAlpha = 1.0f;
    mesh.constantAttenuation = 1.0f;
    mesh.linearAttenuation = 0.001f;
    mesh.quadraticAttenuation = 0;
    mesh.spotExponent = 0;
    mesh.lightW = 0;
    mesh.basePass = 0;
  }
  // The third mesh of each copy is its hull.
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    const int index = s.meshStart[k] + 2;
    if (index >= m.meshCount) continue;
    Mesh3ds& hull = *m.meshes[size_t(index)];
    hull.baseTexture = kMatoSlot;
    hull.envTexture = kEmptySlot;
    hull.renderMode = 5;
    setMaterialColour(hull.diffuse, 0.32f, 0.211f, 0.161f);
    setMaterialColour(hull.specular, 1.2f, 0.24f, 0.2f);
    setMaterialColour(hull.ambient, 0.02f, 0.02f, 0.02f);
    hull.baseAlpha = 1.0f;
    hull.envAlpha = 1.0f;
    hull.shininess = 6;
    hull.lightW = 0;
  }
}

// Moves the flyers along their paths.
void flyFlyers(TunnelState& s, const TunnelScene& scene, int deltaMs) {
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    const SplinePath& path = scene.paths[k];
    Vector3 ahead;
    path.evaluate(std::min(s.flyerTravel[k] + 0.05f, 1.0f), ahead);
    Vector3 here;
    path.advance(s.flyerTravel[k], kTunnelFlyerSpeed, float(deltaMs), here);
    Vector3 d = ahead - here;
    // At a path's end the look-ahead meets the flyer: keep its heading.
    if (d.lengthSquared() > 1e-12f) {
      d.normalize();
      s.flyerHeading[k] = angleOf(d.x, d.z) - 1.570795f;
    }
  }
}

void drawFlyers(Gfx& gfx, const TunnelState& state, TunnelScene& s) {
  Scene3ds& m = *s.models;
  clearDepth(gfx);
  m.beginCamera(gfx, s.camera);
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    if (!s.flyerLoaded[k]) continue;
    Vector3 here;
    s.paths[k].evaluate(state.flyerTravel[k], here);
    const float roll = tunnelFlyerRoll(k, state.frameMs);
    for (int i = s.meshStart[k]; i < s.meshStart[k] + kTunnelFlyerMeshes; ++i) {
      m.setMeshRotation(i, roll, state.flyerHeading[k], 0);
      m.setMeshPosition(i, here);
      m.drawMesh(i, *s.light, 0);
    }
  }
}

}  // namespace

void turnTubeAxes(RayObject& tube, float angle) {
  tube.uAxis = Vector3(0, 0, 1);
  tube.vAxis = Vector3(1, 0, 0);
  tube.wAxis = Vector3(0, 1, 0);
  tube.uAxis.rotateZ(angle);
  tube.vAxis.rotateZ(angle);
  tube.wAxis.rotateZ(angle);
}

float tunnelFlyerRoll(int flyer, float sceneMs) {
  return kRollRate[flyer] * sceneMs + kRollStart[flyer];
}

ViewCamera& moveTunnelCamera(TunnelState& s, int deltaMs) {
  if (s.sceneMs < kTunnelCameraCutMs) {
    s.cameraA.position.z -= 0.0002f * float(deltaMs);
    s.cameraA.forward = Vector3(0, 0, -1);
    return s.cameraA;
  }
  s.cameraB.position.z += 0.0004f * float(deltaMs);
  s.cameraB.forward = Vector3(0, 0, 1);
  return s.cameraB;
}

void loadTunnel(TunnelScene& s, TunnelState& state, Gfx& gfx, SoftwarePasses* software) {
  state = TunnelState{};
  s.blurHeld = false;
  s.text = std::make_unique<FeedbackBuffer>(gfx, software);
  s.text->textures[kTextFeedbackSlot] = kTextSlot;
  s.text->textures[kTextFeedbackSlot + 6] = kTextWorkSlot;
  s.mix = std::make_unique<FeedbackBuffer>(gfx, software);

  s.outer = buildTube(4.0f, kMatoSlot);
  s.inner = buildTube(2.0f, kGrassSlot);

  state.cameraA.position = Vector3(-1, 0, 0);
  state.cameraB.position = Vector3(-1, 0, 0);

  buildLight(s);
  s.outer->light = s.light.get();
  s.inner->light = s.light.get();
  s.outer->camera = &s.camera;
  s.inner->camera = &s.camera;

  buildModels(s);
}

void buildFlyerPaths(TunnelScene& s) {
  for (int k = 0; k < kTunnelFlyerCount; ++k) {
    SplinePath& path = s.paths[k] = SplinePath(20, false);
    for (const float* p : kFlyerPaths[k]) path.addPoint(p[0], p[1], p[2]);
    path.computeTangents(15, true);
  }
}

void advanceTunnel(TunnelState& s, const TunnelScene& scene, int deltaMs, bool fadeOut) {
  // The frame draws at the clocks it starts from.
  s.frameMs = s.sceneMs;
  s.frameSeconds = s.sceneSeconds;
  s.frameFadeMs = s.fadeMs;
  s.fading = fadeOut;
  s.blurred = stepTunnelText(s, s.sceneSeconds, s.blur);
  moveTunnelCamera(s, deltaMs);
  flyFlyers(s, scene, deltaMs);
  if (fadeOut) s.fadeMs += float(deltaMs);
  settleTunnelTextGrowth(s);
  s.sceneMs += float(deltaMs);
  s.sceneSeconds += 0.001f * float(deltaMs);
}

void drawTunnel(const TunnelState& state, TunnelScene& s, const FrameContext& frame) {
  // The held blur describes texture 30, so only a drawn frame changes it.
  if (state.blurred && !tunnelBlurHeld(s, state.blur)) {
    const TunnelTextBlur& blur = state.blur;
    s.text->tintedBlur(kTextFeedbackSlot, 7, 1.0f, blur.vSpread, blur.amount, blur.red,
                       blur.green, blur.blue);
    clearFrame(*frame.gfx, kBlack);
    s.heldBlur = blur;
    s.blurHeld = true;
  }

  s.camera = state.frameMs < kTunnelCameraCutMs ? state.cameraA : state.cameraB;
  s.light->position = s.camera.position;

  const float ms = state.frameMs;
  RayWorld& outer = *s.outer;
  RayWorld& inner = *s.inner;
  outer.wobbleFrequency = RayPair{0.075f, 0.075f};
  outer.wobblePhase = RayPair{0.0025f * ms, 0.0025f * ms};
  outer.wobbleAmplitude = RayPair{5.0f, 5.0f};
  const float innerPhase = 0.00125f * ms + 0.5f;
  inner.wobbleFrequency = RayPair{0.05f, 0.05f};
  inner.wobblePhase = RayPair{innerPhase, innerPhase};
  inner.wobbleAmplitude = RayPair{5.0f, 5.0f};

  // Both tubes turn by their absolute angle; turning the inner one on from
  // last frame's axes would spin it ever faster.
  turnTubeAxes(outer.objects[1], 0.025f * ms);
  turnTubeAxes(inner.objects[1], 0.05f * ms);

  renderRayGrid(*frame.gfx, *frame.rayGrid, outer, GridDepth::Read, frame.software,
                *frame.rayStats);
  s.mix->captureFrame(0);
  clearFrame(*frame.gfx, kBlack);
  renderRayGrid(*frame.gfx, *frame.rayGrid, inner, GridDepth::Read, frame.software, *frame.rayStats);
  s.mix->captureFrame(1);
  s.mix->crossfade(0.5f, 0, 1);

  drawFlyers(*frame.gfx, state, s);

  if (state.fading) {
    s.mix->captureFrame(0);
    clearFrame(*frame.gfx, kBlack);
    s.mix->captureFrame(1);
    s.mix->crossfade(tunnelFadeWeight(state.frameFadeMs), 0, 1);
  }

  drawTunnelText(*frame.gfx, state);
}
