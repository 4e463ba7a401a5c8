#include "textures/texture_store.h"

#include "gfx/gfx.h"
#include "software/texture_copies.h"

std::vector<uint8_t> keyedRgba(const TextureStore& store, uint8_t keyRed, uint8_t keyGreen,
                               uint8_t keyBlue, bool invert) {
  const size_t count = size_t(store.width) * store.height;
  std::vector<uint8_t> rgba(count * 4);
  for (size_t p = 0; p < count && p * 3 + 2 < store.pixels.size(); ++p) {
    const uint8_t* src = &store.pixels[p * 3];
    uint8_t* dst = &rgba[p * 4];
    if (src[0] == keyRed && src[1] == keyGreen && src[2] == keyBlue) {
      dst[0] = dst[1] = dst[2] = dst[3] = 0;
      continue;
    }
    for (int k = 0; k < 3; ++k) dst[k] = invert ? uint8_t(255 - src[k]) : src[k];
    dst[3] = 255;
  }
  return rgba;
}

void uploadRgb(Gfx& gfx, const TextureStore& store, unsigned slot) {
  if (store.pixels.empty()) return;  // nothing decoded yet: the slot stays empty
  defineTexture(gfx, slot, int(store.width), int(store.height), PixelFormat::kRgb,
                PixelFormat::kRgb, store.pixels.data(), Wrap::kRepeat, Filter::kLinear);
  if (store.copies)
    keepTextureCopy(*store.copies, slot, int(store.width), int(store.height), 3,
                    store.pixels.data());
}

void uploadKeyed(Gfx& gfx, const TextureStore& store, unsigned slot, uint8_t keyRed,
                 uint8_t keyGreen, uint8_t keyBlue, bool invert) {
  if (store.pixels.empty()) return;
  const std::vector<uint8_t> rgba = keyedRgba(store, keyRed, keyGreen, keyBlue, invert);
  defineTexture(gfx, slot, int(store.width), int(store.height), PixelFormat::kRgba,
                PixelFormat::kRgba, rgba.data(), Wrap::kRepeat, Filter::kLinear);
  if (store.copies)
    keepTextureCopy(*store.copies, slot, int(store.width), int(store.height), 4, rgba.data());
}

// Each upload goes ahead whatever the load returned: after a failure the slot
// receives the previously decoded image.
void TextureStore::loadJpegTexture(const std::string& path, unsigned slot) {
  loadJpeg(path);
  uploadRgb(*gfx, *this, slot);
}

void TextureStore::loadPcxTexture(const std::string& path, unsigned slot) {
  loadPcx(path);
  uploadRgb(*gfx, *this, slot);
}

void TextureStore::loadPcxTextureKeyed(const std::string& path, unsigned slot, uint8_t keyRed,
                                       uint8_t keyGreen, uint8_t keyBlue, bool invert) {
  loadPcx(path);
  uploadKeyed(*gfx, *this, slot, keyRed, keyGreen, keyBlue, invert);
}
