#include "software/texture_copies.h"

#include <cstddef>

void keepTextureCopy(TextureCopies& copies, unsigned name, int width, int height, int channels,
                     const uint8_t* pixels) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || !pixels) return;
  const size_t count = size_t(width) * size_t(height);
  TextureCopy& copy = copies.byName[name] =
      TextureCopy{width, height, std::vector<uint8_t>(count * 4)};
  for (size_t p = 0; p < count; ++p) {
    for (int c = 0; c < 3; ++c) copy.rgba[p * 4 + c] = pixels[p * channels + c];
    copy.rgba[p * 4 + 3] = channels == 4 ? pixels[p * 4 + 3] : 255;
  }
}

const TextureCopy* textureCopy(const TextureCopies& copies, unsigned name) {
  const auto found = copies.byName.find(name);
  return found == copies.byName.end() ? nullptr : &found->second;
}
