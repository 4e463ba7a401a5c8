// A texture that never changes once loaded: defined in GL, repeating and
// linearly filtered, and where there is a CPU also kept as the copy its
// passes paint from (software/texture_copies.h).
#pragma once

#include "gfx/gfx.h"

struct SoftwarePasses;

struct StaticTexture {
  TextureName name = 0;
  int width = 0, height = 0;
  PixelFormat format = PixelFormat::kRgb;  // of the pixels and as stored
  const uint8_t* pixels = nullptr;         // rows as uploaded
};

void defineStaticTexture(Gfx& gfx, SoftwarePasses* cpu, const StaticTexture& texture);
