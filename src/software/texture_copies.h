// CPU copies of the textures that never change once loaded, kept by the
// loader on the software path so the CPU passes sample them without reading
// GL textures back.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

// A texture's pixels as GL samples them: RGBA, row 0 at t = 0, repeating
// and linearly filtered as the loader sets every texture it keeps.
struct TextureCopy {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// The copies by texture name, of one GL context's textures.
struct TextureCopies {
  std::map<unsigned, TextureCopy> byName;
};

// Keeps a copy of what was just uploaded to texture `name`: width x height
// pixels of `channels` bytes (3: RGB, read with alpha 255; 4: RGBA), rows
// as uploaded.
void keepTextureCopy(TextureCopies& copies, unsigned name, int width, int height, int channels,
                     const uint8_t* pixels);

// The copy of texture `name`; null where none was kept (the texture changes,
// or it was uploaded some other way).
const TextureCopy* textureCopy(const TextureCopies& copies, unsigned name);
