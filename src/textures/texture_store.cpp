#include "textures/texture_store.h"

#include <GL/gl.h>

#include "software/texture_copies.h"

namespace {

void bindWithLinearFilters(unsigned slot) {
  glBindTexture(GL_TEXTURE_2D, slot);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

}  // namespace

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

void uploadRgb(const TextureStore& store, unsigned slot) {
  if (store.pixels.empty()) return;  // nothing decoded yet: the slot stays empty
  bindWithLinearFilters(slot);
  // Rows are packed. GL's default unpack alignment of 4 would read past the
  // buffer for widths whose rows are not a multiple of 4 bytes.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  const bool repack = (store.width * 3) % unsigned(alignment) != 0;
  if (repack) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, GLsizei(store.width), GLsizei(store.height), 0, GL_RGB,
               GL_UNSIGNED_BYTE, store.pixels.data());
  if (repack) glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (store.copies)
    keepTextureCopy(*store.copies, slot, int(store.width), int(store.height), 3,
                    store.pixels.data());
}

void uploadKeyed(const TextureStore& store, unsigned slot, uint8_t keyRed, uint8_t keyGreen,
                 uint8_t keyBlue, bool invert) {
  if (store.pixels.empty()) return;
  bindWithLinearFilters(slot);
  const std::vector<uint8_t> rgba = keyedRgba(store, keyRed, keyGreen, keyBlue, invert);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, GLsizei(store.width), GLsizei(store.height), 0, GL_RGBA,
               GL_UNSIGNED_BYTE, rgba.data());
  if (store.copies)
    keepTextureCopy(*store.copies, slot, int(store.width), int(store.height), 4, rgba.data());
}

// Each upload goes ahead whatever the load returned: after a failure the slot
// receives the previously decoded image.
void TextureStore::loadJpegTexture(const std::string& path, unsigned slot) {
  loadJpeg(path);
  uploadRgb(*this, slot);
}

void TextureStore::loadPcxTexture(const std::string& path, unsigned slot) {
  loadPcx(path);
  uploadRgb(*this, slot);
}

void TextureStore::loadPcxTextureKeyed(const std::string& path, unsigned slot, uint8_t keyRed,
                                       uint8_t keyGreen, uint8_t keyBlue, bool invert) {
  loadPcx(path);
  uploadKeyed(*this, slot, keyRed, keyGreen, keyBlue, invert);
}
