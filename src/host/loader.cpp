#include "host/loader.h"

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
  store.gfx = &demo.gfx;

  // Slots are used directly as texture names. Reserving 40 names first makes
  // every name generated later (scenes, feedback buffers, the host) lie above
  // them. Mesa hands a fresh context exactly 1..40 here, so no slot-to-name
  // table stands in between; should a driver not, say so rather than guess.
  TextureName names[kReservedSlotCount];
  for (TextureName& name : names) name = createTexture(demo.gfx);
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
  RayNoiseTables noise = listLightNoise();
  DemoScenes& sc = demo.scenes;
  DemoState& st = demo.state;
  std::vector<std::function<void()>> jobs = {[&] { buildSpikePaths(sc.spikes); },
                                             [&] { buildCraftPaths(sc.ringedPlanet); },
                                             [&] { buildFlyerPaths(sc.tunnel); }};
  for (auto& entry : noise.made)
    jobs.push_back([&entry] { entry.second = makeRayNoise(entry.first); });
  const auto images = [&] {
    for (size_t i = 0; i < kTextureSlotCount; ++i) fillSlot(store, kTextureSlots[i]);
  };
  runBeside(images, int(jobs.size()), [&](int k) { jobs[k](); });
  markStep(demo.startup, "images, and paths and noise beside them");

  // The scene set-ups in their fixed order, which the texture names they make
  // follow; after every slot is filled, since some read slot contents.
  const auto setUp = [&](const char* step, const auto& load) {
    load();
    markStep(demo.startup, step);
  };
  setUp("set-up: lantern corridor",
        [&] { loadLanternCorridor(sc.lantern, st.lantern, demo.gfx, software); });
  setUp("set-up: landscape", [&] { loadLandscape(sc.landscape, st.landscape); });
  setUp("set-up: ringed planet",
        [&] { loadRingedPlanet(sc.ringedPlanet, st.ringedPlanet, demo.gfx, software, noise); });
  setUp("set-up: lamp park", [&] { loadLampPark(sc.lampPark, st.lampPark, noise); });
  setUp("set-up: sky flashes", [&] { loadSkyFlashes(sc.skyFlashes, st.skyFlashes); });
  setUp("set-up: mirror hall", [&] { loadMirrorHall(sc.mirrorHall, st.mirrorHall); });
  setUp("set-up: triangle fractal", [&] {
    loadTriangleFractal(sc.triangleFractal, st.triangleFractal, demo.gfx, software, noise);
  });
  setUp("set-up: spikes", [&] { loadSpikes(sc.spikes, st.spikes, noise); });
  setUp("set-up: scroller", [&] { loadScroller(sc.scroller, st.scroller, noise); });
  setUp("set-up: tunnel", [&] { loadTunnel(sc.tunnel, st.tunnel, demo.gfx, software); });

  // Last, so its texture names follow every scene's.
  demo.feedback = std::make_unique<FeedbackBuffer>(demo.gfx, software);
  markStep(demo.startup, "feedback buffer");
}
