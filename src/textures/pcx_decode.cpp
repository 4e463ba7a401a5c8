#include "textures/pcx_decode.h"

#include "textures/texture_store.h"

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteSize = 768;

uint32_t readU16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

}  // namespace

size_t expandPcxRuns(const uint8_t* in, size_t inSize, uint8_t* out, size_t count) {
  size_t read = 0;
  size_t written = 0;
  while (written < count && read < inSize) {
    uint8_t b = in[read++];
    if (b < 0xC0) {
      out[written++] = b;
      continue;
    }
    if (read >= inSize) break;  // run marker without its value: stream cut off
    uint8_t value = in[read++];
    size_t run = b - 0xC0;  // 0xC0 itself is an empty run
    for (; run > 0 && written < count; --run) out[written++] = value;
  }
  return written;
}

bool decodePcx(const uint8_t* data, size_t size, DecodedImage& out, const char** reason) {
  if (size < kHeaderSize) {
    *reason = "shorter than a PCX header";
    return false;
  }
  const uint8_t* h = data;
  if (h[1] != 5) {
    *reason = "not PCX version 5";
    return false;
  }
  if (h[2] != 1) {
    *reason = "not run-length encoded";
    return false;
  }
  const int64_t height = int64_t(readU16(h + 10)) - int64_t(readU16(h + 6)) + 1;
  const uint32_t width = readU16(h + 66);
  if (height <= 0 || width == 0) {
    *reason = "empty or negative image size";
    return false;
  }
  const uint64_t pixelCount = uint64_t(width) * uint64_t(height);
  if (pixelCount * 3 > kMaxImageBytes) {
    *reason = "image size too large";
    return false;
  }
  const bool paletted = uint32_t(h[65]) * uint32_t(h[3]) == 8;
  if (paletted && size < kHeaderSize + kPaletteSize) {
    *reason = "too short to hold a palette";
    return false;
  }

  DecodedImage image;
  image.width = width;
  image.height = uint32_t(height);
  image.pixels.assign(pixelCount * 3, 0);
  const uint8_t* stream = data + kHeaderSize;
  const size_t streamSize = size - kHeaderSize;

  if (paletted) {
    // One continuous stream of index bytes, top row first; runs may cross rows.
    std::vector<uint8_t> indices(pixelCount, 0);
    if (expandPcxRuns(stream, streamSize, indices.data(), indices.size()) < indices.size()) {
      *reason = "run-length data ends before the image is complete";
      return false;
    }
    const uint8_t* palette = data + size - kPaletteSize;
    for (uint32_t i = 0; i < image.height; ++i) {
      const uint8_t* src = indices.data() + size_t(image.height - 1 - i) * width;
      uint8_t* dst = image.pixels.data() + size_t(i) * width * 3;
      for (uint32_t c = 0; c < width; ++c) {
        const uint8_t* entry = palette + size_t(src[c]) * 3;
        dst[c * 3 + 0] = entry[0];
        dst[c * 3 + 1] = entry[1];
        dst[c * 3 + 2] = entry[2];
      }
    }
  } else {
    // Each picture row is a red, a green and a blue line; runs may cross lines.
    std::vector<uint8_t> lines(pixelCount * 3, 0);
    if (expandPcxRuns(stream, streamSize, lines.data(), lines.size()) < lines.size()) {
      *reason = "run-length data ends before the image is complete";
      return false;
    }
    for (uint32_t i = 0; i < image.height; ++i) {
      const uint8_t* red = lines.data() + size_t(image.height - 1 - i) * width * 3;
      const uint8_t* green = red + width;
      const uint8_t* blue = green + width;
      uint8_t* dst = image.pixels.data() + size_t(i) * width * 3;
      for (uint32_t c = 0; c < width; ++c) {
        dst[c * 3 + 0] = red[c];
        dst[c * 3 + 1] = green[c];
        dst[c * 3 + 2] = blue[c];
      }
    }
  }
  out = std::move(image);
  return true;
}
