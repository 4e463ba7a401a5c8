#include "host/shared_ray_grid.h"

RayGrid& sharedRayGrid() {
  static RayGrid grid;
  return grid;
}

RayStats& sharedRayStats() {
  static RayStats stats;
  return stats;
}
