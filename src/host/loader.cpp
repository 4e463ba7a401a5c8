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
static void loadScenes(Demo& demo, SoftwarePasses* software) {
  DemoScenes& scenes = demo.scenes;
  DemoState& state = demo.state;
  StartupTimings& t = demo.startup;
  loadLanternCorridor(scenes.lantern, state.lantern, software);
  markStep(t, "set-up: lantern corridor");
  loadLandscape(scenes.landscape, state.landscape);
  markStep(t, "set-up: landscape");
  loadRingedPlanet(scenes.ringedPlanet, state.ringedPlanet, software);
  markStep(t, "set-up: ringed planet");
  loadLampPark(scenes.lampPark, state.lampPark);
  markStep(t, "set-up: lamp park");
  loadSkyFlashes(scenes.skyFlashes, state.skyFlashes);
  markStep(t, "set-up: sky flashes");
  loadMirrorHall(scenes.mirrorHall, state.mirrorHall);
  markStep(t, "set-up: mirror hall");
  loadTriangleFractal(scenes.triangleFractal, state.triangleFractal, software);
  markStep(t, "set-up: triangle fractal");
  loadSpikes(scenes.spikes, state.spikes);
  markStep(t, "set-up: spikes");
  loadScroller(scenes.scroller, state.scroller);
  markStep(t, "set-up: scroller");
  loadTunnel(scenes.tunnel, state.tunnel, software);
  markStep(t, "set-up: tunnel");
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

  for (size_t i = 0; i < kTextureSlotCount; ++i) fillSlot(store, kTextureSlots[i]);
  markStep(demo.startup, "images");

  loadScenes(demo, software);

  // Last, so its texture names follow every scene's.
  demo.feedback = std::make_unique<FeedbackBuffer>(software);
  markStep(demo.startup, "feedback buffer");
}
