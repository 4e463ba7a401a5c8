// The grid's size and limits, apart from the grid so that its parts can
// know them without the whole.
#pragma once

constexpr int kRayGridWidth = 512;
constexpr int kRayGridHeight = 256;
constexpr int kRayMaxSamples = 40000;
