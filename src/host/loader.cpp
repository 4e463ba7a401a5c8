#include "host/loader.h"

#include <GL/gl.h>

#include <cstdio>

#include "effects/feedback_buffer.h"
#include "host/demo.h"
#include "host/render_path.h"
#include "platform/asset_path.h"
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

// Scene set-ups in their fixed order, which the texture names they make
// follow. They run after every slot is filled, since some read slot contents.
struct SceneSetup {
  const char* step;  // its name in the start-up timings
  void (*load)(Demo& demo, SoftwarePasses* software);
};
static const SceneSetup kSceneSetups[] = {
    {"set-up: lantern corridor",
     [](Demo& d, SoftwarePasses* sw) { loadLanternCorridor(d.scenes.lantern, d.state.lantern, sw); }},
    {"set-up: landscape",
     [](Demo& d, SoftwarePasses*) { loadLandscape(d.scenes.landscape, d.state.landscape); }},
    {"set-up: ringed planet",
     [](Demo& d, SoftwarePasses* sw) {
       loadRingedPlanet(d.scenes.ringedPlanet, d.state.ringedPlanet, sw);
     }},
    {"set-up: lamp park",
     [](Demo& d, SoftwarePasses*) { loadLampPark(d.scenes.lampPark, d.state.lampPark); }},
    {"set-up: sky flashes",
     [](Demo& d, SoftwarePasses*) { loadSkyFlashes(d.scenes.skyFlashes, d.state.skyFlashes); }},
    {"set-up: mirror hall",
     [](Demo& d, SoftwarePasses*) { loadMirrorHall(d.scenes.mirrorHall, d.state.mirrorHall); }},
    {"set-up: triangle fractal",
     [](Demo& d, SoftwarePasses* sw) {
       loadTriangleFractal(d.scenes.triangleFractal, d.state.triangleFractal, sw);
     }},
    {"set-up: spikes", [](Demo& d, SoftwarePasses*) { loadSpikes(d.scenes.spikes, d.state.spikes); }},
    {"set-up: scroller",
     [](Demo& d, SoftwarePasses*) { loadScroller(d.scenes.scroller, d.state.scroller); }},
    {"set-up: tunnel",
     [](Demo& d, SoftwarePasses* sw) { loadTunnel(d.scenes.tunnel, d.state.tunnel, sw); }},
};

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

  for (size_t i = 0; i < kTextureSlotCount; ++i) fillSlot(store, kTextureSlots[i]);
  markStep(demo.startup, "images");

  for (const SceneSetup& setup : kSceneSetups) {
    setup.load(demo, software);
    markStep(demo.startup, setup.step);
  }

  // Last, so its texture names follow every scene's.
  demo.feedback = std::make_unique<FeedbackBuffer>(software);
  markStep(demo.startup, "feedback buffer");
}
