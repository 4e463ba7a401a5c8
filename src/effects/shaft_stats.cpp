#include "effects/shaft_stats.h"

ShaftStats shaftStats;
