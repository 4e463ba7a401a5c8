#include "host/scene_state.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "effects/light_shafts.h"
#include "host/director.h"
#include "host/loader.h"
#include "math/crt_random.h"
#include "math/spline_path.h"
#include "models/scene3ds.h"
#include "raycast/ray_world.h"
#include "scenes/lamp_park.h"
#include "scenes/landscape.h"
#include "scenes/lantern_corridor.h"
#include "scenes/mirror_hall.h"
#include "scenes/ringed_planet.h"
#include "scenes/scroller.h"
#include "scenes/sky_flashes.h"
#include "scenes/spikes.h"
#include "scenes/triangle_fractal.h"
#include "scenes/tunnel.h"

namespace {

// Each walk hands `visit` every region of carried state, always in the same
// order, so a snapshot, its restore and the fingerprint see the same bytes.
template <class Visit, class T>
void value(Visit& visit, T& x) {
  static_assert(std::is_trivially_copyable<T>::value, "carried state is copied as bytes");
  visit(static_cast<void*>(&x), sizeof x);
}

template <class Visit>
void walkPath(Visit& v, SplinePath* p) {
  if (!p) return;
  value(v, p->travel);
}

// The per-frame origin blocks at the end of each object are derived anew
// before every use, and the bounce blocks only while tracing a picture.
template <class Visit>
void walkWorld(Visit& v, RayWorld* w) {
  if (!w) return;
  static_assert(std::is_standard_layout<RayObject>::value, "objects are walked by offset");
  for (int i = 0; i < w->capacity; ++i) {
    RayObject& o = w->objects[i];
    v(static_cast<void*>(&o), offsetof(RayObject, from));
    value(v, o.shape);
  }
  value(v, w->camera);
  value(v, w->light);
  value(v, w->glowGain);
  value(v, w->lightFlags);
  value(v, w->specularGain);
  value(v, w->sheenGain);
  value(v, w->diffuseGain);
  value(v, w->falloffRange);
  value(v, w->falloffGain);
  value(v, w->falloffBase);
  value(v, w->colour);
  value(v, w->shadowFactor);
  value(v, w->wobble);
  value(v, w->wobbleFrequency);
  value(v, w->wobblePhase);
  value(v, w->wobbleAmplitude);
  value(v, w->depthScale);
  value(v, w->depthGain);
}

// The mask and images are remade by every drawn frame, and passCounter only
// counts a draw's zoom passes; the palette's first 256 entries are what
// setPalette rewrites.
template <class Visit>
void walkLight(Visit& v, LightShafts* l) {
  if (!l) return;
  value(v, l->camera);
  value(v, l->position);
  value(v, l->projectedX);
  value(v, l->projectedY);
  value(v, l->flareIntensity);
  value(v, l->visibleFlare);
  value(v, l->effectiveIntensity);
  value(v, l->colour);
  value(v, l->noFlareTest);
  value(v, l->maskFullValue);
  value(v, l->glowShape);
  value(v, l->spotDirection);
  value(v, l->zoomPasses);
  value(v, l->smoothMask);
  value(v, l->shaftLength);
  value(v, l->toneGain);
  value(v, l->expTone);
  value(v, l->shaftSpread);
  value(v, l->zoomLength);
  value(v, l->rayNoiseOn);
  value(v, l->noiseDeltaMs);
  value(v, l->noiseSpeed);
  value(v, l->noiseMix);
  v(static_cast<void*>(l->paletteR.data()), 256);
  v(static_cast<void*>(l->paletteG.data()), 256);
  v(static_cast<void*>(l->paletteB.data()), 256);
}

// Placement of each mesh; the deformed copies are remade for every picture.
template <class Visit>
void walkModels(Visit& v, Scene3ds* m) {
  if (!m) return;
  value(v, m->fieldOfView);
  for (int i = 0; i < m->meshCount; ++i) {
    Mesh3ds& mesh = *m->meshes[size_t(i)];
    value(v, mesh.position);
    value(v, mesh.rotation);
    value(v, mesh.uOffset);
    value(v, mesh.vOffset);
    value(v, mesh.baseTexture);
  }
}

template <class Visit>
void walkCarriedState(Visit& v) {
  value(v, director);
  value(v, mixWindow);
  value(v, sweepWindow);
  value(v, pulseWindow);
  value(v, tailWindow);
  value(v, LightShafts::noiseClock);
  value(v, crtRandomState());

  SkyFlashScene& sky = skyFlashScene;
  value(v, sky);
  for (LightShafts* l : sky.lights) walkLight(v, l);
  walkWorld(v, sky.world);

  LandscapeScene& land = landscapeScene;
  value(v, land);
  walkWorld(v, land.skyWorld);
  walkLight(v, land.skyLight);

  RingedPlanetScene& planet = ringedPlanetScene;
  value(v, planet);
  walkWorld(v, planet.world);
  walkLight(v, planet.light);
  walkModels(v, planet.models);
  for (SplinePath* p : planet.paths) walkPath(v, p);

  value(v, lanternState);

  value(v, lampParkState);

  value(v, mirrorHallState);

  value(v, triangleFractalState);

  value(v, spikeState);

  value(v, scrollerState);

  // The held blur describes texture 30, so it is not carried state either.
  TunnelScene& tunnel = tunnelScene;
  value(v, tunnel.sceneMs);
  value(v, tunnel.sceneSeconds);
  value(v, tunnel.fadeMs);
  value(v, tunnel.textStage);
  value(v, tunnel.cameraA);
  value(v, tunnel.cameraB);
  value(v, tunnel.windowA);
  value(v, tunnel.windowB);
  value(v, tunnel.flyerHeading);
  walkWorld(v, tunnel.outer);
  walkWorld(v, tunnel.inner);
  walkLight(v, tunnel.light);
  walkModels(v, tunnel.models);
  for (SplinePath* p : tunnel.paths) walkPath(v, p);
}

}  // namespace

void takeSceneSnapshot(SceneSnapshot& snapshot) {
  snapshot.bytes.clear();
  auto append = [&](void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    snapshot.bytes.insert(snapshot.bytes.end(), p, p + size);
  };
  walkCarriedState(append);
}

bool restoreSceneSnapshot(const SceneSnapshot& snapshot) {
  // A snapshot of another set of loaded objects would not fit: leave all as is.
  size_t total = 0;
  auto measure = [&](void*, size_t size) { total += size; };
  walkCarriedState(measure);
  if (total != snapshot.bytes.size()) return false;
  size_t at = 0;
  auto copyBack = [&](void* data, size_t size) {
    std::memcpy(data, snapshot.bytes.data() + at, size);
    at += size;
  };
  walkCarriedState(copyBack);
  return true;
}

uint64_t sceneStateFingerprint() {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  auto mix = [&](void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  };
  walkCarriedState(mix);
  return hash;
}
