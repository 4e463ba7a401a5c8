#include "host/loader.h"

#include <GL/gl.h>

#include <cstdio>

#include "effects/feedback_buffer.h"
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

TimeWindow mixWindow;
TimeWindow sweepWindow;
TimeWindow pulseWindow;
TimeWindow tailWindow;
FeedbackBuffer* sharedFeedback = nullptr;

using SceneSetup = void (*)();

static void loadLantern() { loadLanternCorridor(lanternScene, lanternState, renderPath()); }
static void loadPark() { loadLampPark(lampParkScene, lampParkState); }
static void loadMirror() { loadMirrorHall(mirrorHallScene, mirrorHallState); }
static void loadFractal() { loadTriangleFractal(triangleFractalScene, triangleFractalState); }
static void loadSpikeBalls() { loadSpikes(spikeScene, spikeState); }
static void loadConveyor() { loadScroller(scrollerScene, scrollerState); }

// Scene set-ups in their fixed order: lantern corridor, landscape, ringed
// planet, lamp park, sky flashes, mirror, triangle fractal, spikes, scroller,
// tunnel. They run after every slot is filled, since some read slot contents;
// each scene adds its set-up here, at its place in that order, when it lands.
static const SceneSetup kSceneSetups[] = {
    loadLantern,
    initLandscapeScene,
    initRingedPlanet,
    loadPark,
    initSkyFlashes,
    loadMirror,
    loadFractal,
    loadSpikeBalls,
    loadConveyor,
    initTunnelScene,
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

void loadEverything() {
  mixWindow = TimeWindow{};
  sweepWindow = TimeWindow{};
  pulseWindow = TimeWindow{};
  tailWindow = TimeWindow{};

  static TextureStore* store = new TextureStore;

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

  for (size_t i = 0; i < kTextureSlotCount; ++i) fillSlot(*store, kTextureSlots[i]);

  for (SceneSetup setup : kSceneSetups)
    if (setup) setup();

  // Last, so its texture names follow every scene's.
  sharedFeedback = new FeedbackBuffer;
}
