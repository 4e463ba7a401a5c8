// The program's one ray grid (working memory) and its statistics, which the
// scenes hand to renderRayGrid until the frame context carries them.
#pragma once

#include "raycast/ray_grid.h"
#include "raycast/ray_stats.h"

RayGrid& sharedRayGrid();
RayStats& sharedRayStats();
