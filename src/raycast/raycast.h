// Everything a scene needs of the grid ray-caster: worlds to build, the
// per-frame entry, lamp posts and the statistics.
#pragma once

#include "raycast/lamp_post.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_stats.h"
#include "raycast/ray_world.h"
