// The demo as two values: DemoState, everything a frame carries to the next
// (a snapshot is a copy of it, a restore an assignment), and DemoScenes,
// what loading built and no frame changes. Each scene adds its XState and
// XScene here.
#pragma once

#include "host/director_state.h"
#include "scenes/landscape.h"
#include "scenes/ringed_planet.h"
#include "scenes/sky_flashes.h"
#include "scenes/tunnel.h"

struct DemoState {
  DirectorState director;
  SkyFlashState skyFlashes;
  LandscapeState landscape;
  RingedPlanetState ringedPlanet;
  TunnelState tunnel;
};

struct DemoScenes {
  SkyFlashScene skyFlashes;
  LandscapeScene landscape;
  RingedPlanetScene ringedPlanet;
  TunnelScene tunnel;
};
