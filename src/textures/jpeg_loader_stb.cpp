// The browser build's JPEG decoder: stb_image, compiled into the module, in
// place of libjpeg (which a browser does not have). Same contract as the
// desktop loader: RGB, rows bottom-up, a damaged file a failed load.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/asset_path.h"
#include "textures/texture_store.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

// The whole file, or false when it cannot be read.
static bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = size >= 0 && uint64_t(size) <= kMaxImageBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(size_t(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

bool TextureStore::loadJpeg(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!readFile(path, bytes)) {
    reportAssetFailure(path, "cannot open");
    return false;
  }
  int w = 0, h = 0, components = 0;
  const int size = int(bytes.size());
  if (!stbi_info_from_memory(bytes.data(), size, &w, &h, &components)) {
    reportAssetFailure(path, stbi_failure_reason());
    return false;
  }
  if (uint64_t(w) * uint64_t(h) * 3 > kMaxImageBytes) {
    reportAssetFailure(path, "image size too large");
    return false;
  }
  unsigned char* rgb = stbi_load_from_memory(bytes.data(), size, &w, &h, &components, 3);
  if (!rgb) {
    reportAssetFailure(path, stbi_failure_reason());
    return false;
  }
  // Bottom-up, as GL reads texture rows.
  const size_t stride = size_t(w) * 3;
  std::vector<uint8_t> flipped(stride * size_t(h));
  for (int i = 0; i < h; ++i) {
    const unsigned char* src = rgb + size_t(h - 1 - i) * stride;
    std::copy(src, src + stride, flipped.data() + size_t(i) * stride);
  }
  stbi_image_free(rgb);
  pixels = std::move(flipped);
  width = uint32_t(w);
  height = uint32_t(h);
  return true;
}
