#include "host/loader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "effects/feedback_buffer.h"
#include "host/demo.h"
#include "host/render_path.h"
#include "platform/asset_path.h"
#include "platform/worker_pool.h"
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
#include "textures/slot_table.h"
#include "textures/texture_store.h"

// What a set-up is handed besides its scene and state: the software path's
// passes (null on GL) and the ray-noise tables its lights share with others.
struct Loading {
  SoftwarePasses* software;
  RayNoiseTables noise;
};

// Scene set-ups in their fixed order, which the texture names they make
// follow. They run after every slot is filled, since some read slot contents.
struct SceneSetup {
  const char* step;  // its name in the start-up timings
  void (*load)(Loading& l, DemoScenes& scenes, DemoState& state);
};
static const SceneSetup kSceneSetups[] = {
    {"set-up: lantern corridor",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadLanternCorridor(sc.lantern, st.lantern, l.software);
     }},
    {"set-up: landscape",
     [](Loading&, DemoScenes& sc, DemoState& st) { loadLandscape(sc.landscape, st.landscape); }},
    {"set-up: ringed planet",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadRingedPlanet(sc.ringedPlanet, st.ringedPlanet, l.software, l.noise);
     }},
    {"set-up: lamp park",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadLampPark(sc.lampPark, st.lampPark, l.noise);
     }},
    {"set-up: sky flashes",
     [](Loading&, DemoScenes& sc, DemoState& st) { loadSkyFlashes(sc.skyFlashes, st.skyFlashes); }},
    {"set-up: mirror hall",
     [](Loading&, DemoScenes& sc, DemoState& st) { loadMirrorHall(sc.mirrorHall, st.mirrorHall); }},
    {"set-up: triangle fractal",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadTriangleFractal(sc.triangleFractal, st.triangleFractal, l.software, l.noise);
     }},
    {"set-up: spikes",
     [](Loading& l, DemoScenes& sc, DemoState& st) { loadSpikes(sc.spikes, st.spikes, l.noise); }},
    {"set-up: scroller",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadScroller(sc.scroller, st.scroller, l.noise);
     }},
    {"set-up: tunnel",
     [](Loading& l, DemoScenes& sc, DemoState& st) {
       loadTunnel(sc.tunnel, st.tunnel, l.software);
     }},
};

// The lights' ray noise, made while the images load; lights of one shape
// share a table.
static const RayNoiseShape kLightNoise[] = {kRingedPlanetRayNoise, kLampParkRayNoise,
                                            kTriangleFractalRayNoise, kSpikesRayNoise,
                                            kScrollerRayNoise};

// Each shape of kLightNoise once, its table still to make.
static RayNoiseTables listLightNoise() {
  RayNoiseTables noise;
  for (const RayNoiseShape& shape : kLightNoise) {
    const auto same = [&](const auto& entry) { return entry.first == shape; };
    if (std::none_of(noise.made.begin(), noise.made.end(), same))
      noise.made.emplace_back(shape, nullptr);
  }
  return noise;
}

static void fillSlot(TextureStore& store, const TextureSlotLoad& entry) {
  const std::string path = assetPath(entry.file);
  switch (entry.loader) {
    case ImageLoader::Jpeg:
      store.loadJpegTexture(path, entry.slot);
      break;
    case ImageLoader::Pcx:
      store.loadPcxTexture(path, entry.slot);
      break;
    case ImageLoader::PcxKeyed:
      store.loadPcxTextureKeyed(path, entry.slot, entry.key[0], entry.key[1], entry.key[2], true);
      break;
  }
}

void loadEverything(Demo& demo) {
  TextureStore store;
  SoftwarePasses* software = demo.frame().software;
  store.copies = software ? &software->copies : nullptr;

  // Slots are used directly as texture names. Reserving 40 names first makes
  // every name generated later (scenes, feedback buffers, the host) lie above
  // them. Mesa hands a fresh context exactly 1..40 here, so no slot-to-name
  // table stands in between; should a driver not, say so rather than guess.
  GLuint names[kReservedSlotCount];
  glGenTextures(GLsizei(kReservedSlotCount), names);
  for (unsigned i = 0; i < kReservedSlotCount; ++i) {
    if (names[i] != i + 1) {
      std::fprintf(stderr, "lumivaara: texture names 1..%u were not free at start-up\n",
                   kReservedSlotCount);
      break;
    }
  }

  // Meanwhile the helpers do the set-ups' slowest arithmetic, which no image
  // and no GL call touches: the paths whose lengths are measured in
  // thousands of short chords, and the lights' noise tables.
  Loading loading{software, listLightNoise()};
  DemoScenes& scenes = demo.scenes;
  std::vector<std::function<void()>> jobs = {[&] { buildSpikePaths(scenes.spikes); },
                                             [&] { buildCraftPaths(scenes.ringedPlanet); },
                                             [&] { buildFlyerPaths(scenes.tunnel); }};
  for (auto& entry : loading.noise.made)
    jobs.push_back([&entry] { entry.second = makeRayNoise(entry.first); });
  const auto images = [&] {
    for (size_t i = 0; i < kTextureSlotCount; ++i) fillSlot(store, kTextureSlots[i]);
  };
  runBeside(images, int(jobs.size()), [&](int k) { jobs[k](); });
  markStep(demo.startup, "images, and paths and noise beside them");

  for (const SceneSetup& setup : kSceneSetups) {
    setup.load(loading, scenes, demo.state);
    markStep(demo.startup, setup.step);
  }

  // Last, so its texture names follow every scene's.
  demo.feedback = std::make_unique<FeedbackBuffer>(software);
  markStep(demo.startup, "feedback buffer");
}
