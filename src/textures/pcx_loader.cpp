#include <cstdio>

#include "platform/asset_path.h"
#include "textures/pcx_decode.h"
#include "textures/texture_store.h"

namespace {

// Whole-file read: PCX palettes sit at the end of the file, and a bounded
// in-memory decode cannot be led outside its buffers by what the file says.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, const char** reason) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *reason = "cannot open";
    return false;
  }
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(file) : -1;
  ok = size >= 0 && uint64_t(size) <= kMaxImageBytes * 2 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(size_t(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (!ok) *reason = "cannot read";
  return ok;
}

}  // namespace

bool TextureStore::loadPcx(const std::string& path) {
  const char* reason = "";
  std::vector<uint8_t> bytes;
  DecodedImage image;
  if (!readWholeFile(path, bytes, &reason) ||
      !decodePcx(bytes.data(), bytes.size(), image, &reason)) {
    reportAssetFailure(path, reason);
    return false;
  }
  pixels = std::move(image.pixels);
  width = image.width;
  height = image.height;
  return true;
}
