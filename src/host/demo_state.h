// The demo as two values: DemoState, everything a frame carries to the next
// (a snapshot is a copy of it, a restore an assignment), and DemoScenes,
// what loading built and no frame changes.
#pragma once

#include <type_traits>

#include "host/director_state.h"
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

struct DemoState {
  DirectorState director;
  // The light shafts' ray-noise column, one clock every light shares.
  float shaftNoiseClock = 0.0f;
  SkyFlashState skyFlashes;
  LandscapeState landscape;
  RingedPlanetState ringedPlanet;
  LanternCorridorState lantern;
  LampParkState lampPark;
  MirrorHallState mirrorHall;
  TriangleFractalState triangleFractal;
  SpikeState spikes;
  ScrollerState scroller;
  TunnelState tunnel;
};

struct DemoScenes {
  SkyFlashScene skyFlashes;
  LandscapeScene landscape;
  RingedPlanetScene ringedPlanet;
  LanternCorridorScene lantern;
  LampParkScene lampPark;
  MirrorHallScene mirrorHall;
  TriangleFractalScene triangleFractal;
  SpikeScene spikes;
  ScrollerScene scroller;
  TunnelScene tunnel;
};

static_assert(std::is_trivially_copyable<DemoState>::value,
              "a snapshot of the demo is a plain copy of its state");
