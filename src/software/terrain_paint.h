// The landscape's terrain strips painted on the CPU. Tens of thousands of
// one-pixel-wide quads a frame cost a software rasteriser far more in setup
// than their few pixels; here a strip is a run of pixels in its column, its
// texture coordinates stepping from the far sample at its bottom to the near
// one at its top, the colour times a bilinear, repeating texel.
#pragma once

#include <cstdint>
#include <vector>

#include "software/terrain_strip.h"
#include "software/texture_copies.h"

constexpr int kTerrainRows = 256;  // the band

// The band being painted: kTerrainColumns x kTerrainRows RGBA, row 0 at the
// bottom; alpha 255 where a strip lies, 0 elsewhere.
struct TerrainPicture {
  std::vector<uint8_t> rgba;
};

void clearTerrainPicture(TerrainPicture& picture);

// Paints one column's strips as GL draws their quads: strip k covers rows
// top..row-1 within the band, and the column stops at the first strip
// behind the far plane, as drawing does. The texture is sampled linearly
// and repeating.
void paintTerrainColumn(TerrainPicture& picture, int column, const TerrainStrip* strips,
                        int count, const TextureCopy& texture);
