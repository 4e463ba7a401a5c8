// Everything a scene needs of the grid ray-caster (Parts 6.1, 6.2).
#pragma once

#include "raycast/lamp_post.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_stats.h"
#include "raycast/ray_world.h"
