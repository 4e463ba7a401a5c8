// What the timeline calls, in one place. Each entry forwards to its scene or
// composite; an entry whose scene is not part of the program yet draws
// nothing, so its range shows the cleared frame. Without `draw` a scene
// advances its state exactly as a drawn frame would and touches no GL.
#pragma once

#include "effects/feedback_buffer.h"
#include "host/loader.h"
#include "host/render_path.h"
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

namespace scenes {

inline void skyFlashes(int deltaMs, bool draw) { renderSkyFlashes(deltaMs, draw); }
inline void landscape(int deltaMs, int variant, bool draw) {
  renderLandscapeScene(deltaMs, variant, draw);
}
inline void ringedPlanet(int deltaMs, bool draw) { renderRingedPlanet(deltaMs, draw); }
inline void lanternCorridor(int deltaMs, int variant, bool draw) {
  advanceLanternCorridor(lanternState, lanternScene, deltaMs, variant);
  if (draw) drawLanternCorridor(lanternState, lanternScene);
}
inline void lampPark(int deltaMs, int variant, bool draw) {
  advanceLampPark(lampParkState, lampParkScene, deltaMs, variant);
  if (draw) drawLampPark(lampParkState, lampParkScene);
}
inline void mirrorHall(int deltaMs, bool draw) {
  advanceMirrorHall(mirrorHallState, mirrorHallScene, deltaMs);
  if (draw) drawMirrorHall(mirrorHallState, mirrorHallScene, renderPath());
}
inline void triangleFractal(int deltaMs, bool draw) {
  advanceTriangleFractal(triangleFractalState, deltaMs);
  if (draw) drawTriangleFractal(triangleFractalState, triangleFractalScene, renderPath());
}
inline void spikes(int deltaMs, bool draw) {
  advanceSpikes(spikeState, spikeScene, deltaMs);
  if (draw) drawSpikes(spikeState, spikeScene);
}
inline void scroller(int deltaMs, bool draw) {
  advanceScroller(scrollerState, scrollerScene, deltaMs);
  if (draw) drawScroller(scrollerState, scrollerScene);
}
inline void tunnel(int deltaMs, bool fadeOut, bool draw) {
  renderTunnelScene(deltaMs, fadeOut, draw);
}

// Composites of the shared feedback buffer. Before loadEverything has made
// it (a director driven without start-up) they draw nothing.
inline void captureFeedback(int slot) {
  if (sharedFeedback) sharedFeedback->captureFrame(slot);
}
inline void blurCrossfade(float mix, int fromSlot, int toSlot) {
  if (sharedFeedback) sharedFeedback->blurCrossfade(mix, fromSlot, toSlot);
}
inline void rippleTransition(int sheetSlot, int incomingSlot, int a, int b, float frequency,
                             float amplitude, float phase, float radiusFactor,
                             float radiusScale) {
  if (sharedFeedback)
    sharedFeedback->rippleTransition(sheetSlot, incomingSlot, a, b, frequency, amplitude, phase,
                                     radiusFactor, radiusScale);
}

}  // namespace scenes
