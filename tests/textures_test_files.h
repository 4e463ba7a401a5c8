// Scratch files and hand-built PCX bytes for the texture tests.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "textures/texture_store.h"

inline std::string scratchPath(const std::string& name) {
  return ::testing::TempDir() + "lumivaara_textures_" + name;
}

inline std::string writeScratch(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = scratchPath(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    // An empty vector's data() may be null, which fwrite must not be given.
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

struct PcxHeaderFields {
  uint8_t version = 5;
  uint8_t encoding = 1;
  uint8_t bitsPerPixel = 8;
  uint8_t planes = 1;
  int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  int bytesPerLine = 0;
};

inline std::vector<uint8_t> pcxHeader(const PcxHeaderFields& f) {
  std::vector<uint8_t> h(128, 0);
  auto put16 = [&](size_t at, int v) {
    h[at] = uint8_t(v & 0xff);
    h[at + 1] = uint8_t((v >> 8) & 0xff);
  };
  h[0] = 0x0A;
  h[1] = f.version;
  h[2] = f.encoding;
  h[3] = f.bitsPerPixel;
  put16(4, f.xMin);
  put16(6, f.yMin);
  put16(8, f.xMax);
  put16(10, f.yMax);
  h[65] = f.planes;
  put16(66, f.bytesPerLine);
  return h;
}

// A paletted file: header, stream, marker, palette whose entry i is
// (i, 255 - i, i / 2) unless `palette` is given.
inline std::vector<uint8_t> pcxPaletted(int width, int height, const std::vector<uint8_t>& stream,
                                        std::vector<uint8_t> palette = {}) {
  PcxHeaderFields f;
  f.xMax = width - 1;
  f.yMax = height - 1;
  f.bytesPerLine = width;
  if (palette.empty())
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  const std::vector<uint8_t> header = pcxHeader(f);
  std::vector<uint8_t> bytes(header.size() + stream.size() + 1 + palette.size());
  auto at = std::copy(header.begin(), header.end(), bytes.begin());
  at = std::copy(stream.begin(), stream.end(), at);
  *at++ = 0x0C;
  std::copy(palette.begin(), palette.end(), at);
  return bytes;
}

inline std::vector<uint8_t> pcxPlanar(int width, int height, const std::vector<uint8_t>& stream) {
  PcxHeaderFields f;
  f.planes = 3;
  f.xMax = width - 1;
  f.yMax = height - 1;
  f.bytesPerLine = width;
  const std::vector<uint8_t> header = pcxHeader(f);
  std::vector<uint8_t> bytes(header.size() + stream.size());
  std::copy(stream.begin(), stream.end(), std::copy(header.begin(), header.end(), bytes.begin()));
  return bytes;
}

// A store already holding a recognisable 1 x 1 image, to see that failures
// leave it alone.
inline TextureStore storeWithMarker() {
  TextureStore store;
  store.pixels = {11, 22, 33};
  store.width = 1;
  store.height = 1;
  return store;
}

inline void expectMarkerKept(const TextureStore& store) {
  EXPECT_EQ(store.width, 1u);
  EXPECT_EQ(store.height, 1u);
  EXPECT_EQ(store.pixels, (std::vector<uint8_t>{11, 22, 33}));
}
