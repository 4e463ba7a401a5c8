#include "scenes/geometry_stats.h"

GeometryStats geometryStats;
