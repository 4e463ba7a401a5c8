#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "textures/pcx_decode.h"
#include "textures/texture_store.h"
#include "textures_test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes paletteWith(std::initializer_list<std::pair<int, std::array<uint8_t, 3>>> entries) {
  Bytes palette(768, 0);
  for (const auto& e : entries)
    for (int k = 0; k < 3; ++k) palette[size_t(e.first) * 3 + size_t(k)] = e.second[size_t(k)];
  return palette;
}

TEST(TexturesPcx, TwoByTwoPalettedExample) {
  const Bytes palette = paletteWith({{5, {200, 0, 0}}, {6, {0, 200, 0}}, {7, {0, 0, 200}}});
  const std::string path = writeScratch("2x2.pcx", pcxPaletted(2, 2, {0xC2, 0x07, 0x05, 0x06}, palette));
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(path));
  EXPECT_EQ(store.width, 2u);
  EXPECT_EQ(store.height, 2u);
  // Bottom picture row (indices 5, 6) first, then the top row (7, 7).
  EXPECT_EQ(store.pixels, (Bytes{200, 0, 0, 0, 200, 0, 0, 0, 200, 0, 0, 200}));
}

TEST(TexturesPcx, PalettedRunsCrossRowEnds) {
  // 3 x 2: a run of four 1s fills the top row and starts the bottom one.
  const std::string path = writeScratch("cross_rows.pcx", pcxPaletted(3, 2, {0xC4, 1, 2, 3}));
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(path));
  // Default test palette: entry i = (i, 255 - i, i / 2).
  EXPECT_EQ(store.pixels, (Bytes{1, 254, 0, 2, 253, 1, 3, 252, 1,  // bottom row: 1 2 3
                                 1, 254, 0, 1, 254, 0, 1, 254, 0}));  // top row: 1 1 1
}

TEST(TexturesPcx, PlanarRunsCrossPlaneLines) {
  // 2 x 2; each row is a red, a green and a blue line of two bytes.
  // Top row: R 10 10, G 10 20, B 30 30.  Bottom row: R 40 40, G 40 40, B 50 60.
  const Bytes stream = {0xC3, 10, 20, 0xC2, 30, 0xC4, 40, 50, 60};
  const std::string path = writeScratch("planar.pcx", pcxPlanar(2, 2, stream));
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(path));
  EXPECT_EQ(store.pixels, (Bytes{40, 40, 50, 40, 40, 60, 10, 10, 30, 10, 20, 30}));
}

TEST(TexturesPcx, ModeTestAndHeaderGeometry) {
  // Width comes from bytes-per-line (here wider than x max - x min + 1) and
  // height from y max - y min + 1.
  PcxHeaderFields f;
  f.planes = 3;
  f.xMin = 0;
  f.xMax = 0;
  f.yMin = 7;
  f.yMax = 8;
  f.bytesPerLine = 2;
  Bytes bytes = pcxHeader(f);
  for (int i = 0; i < 12; ++i) bytes.push_back(uint8_t(i));
  DecodedImage image;
  const char* reason = "";
  ASSERT_TRUE(decodePcx(bytes.data(), bytes.size(), image, &reason));
  EXPECT_EQ(image.width, 2u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(image.pixels, (Bytes{6, 8, 10, 7, 9, 11, 0, 2, 4, 1, 3, 5}));

  // 1 plane x 1 bit is not 8: read as three planes, not paletted.
  f.planes = 1;
  f.bitsPerPixel = 1;
  f.yMin = 0;
  f.yMax = 0;
  f.bytesPerLine = 1;
  bytes = pcxHeader(f);
  bytes.insert(bytes.end(), {1, 2, 3});
  ASSERT_TRUE(decodePcx(bytes.data(), bytes.size(), image, &reason));
  EXPECT_EQ(image.pixels, (Bytes{1, 2, 3}));
}

TEST(TexturesPcx, RunLengthEdgeCases) {
  uint8_t out[6];
  // A run longer than the image stops at its end.
  std::fill(out, out + 6, 0xEE);
  const uint8_t longRun[] = {0xFF, 9};
  EXPECT_EQ(expandPcxRuns(longRun, sizeof longRun, out, 4), 4u);
  EXPECT_EQ(out[3], 9);
  EXPECT_EQ(out[4], 0xEE);
  // 0xC0 is an empty run: its value byte is consumed and nothing written.
  const uint8_t empty[] = {0xC0, 7, 0xC1, 0xC5, 3};
  EXPECT_EQ(expandPcxRuns(empty, sizeof empty, out, 6), 2u);
  EXPECT_EQ(out[0], 0xC5);
  EXPECT_EQ(out[1], 3);
  // A run marker at the very end of the input has no value: stop there.
  const uint8_t cut[] = {4, 0xC3};
  EXPECT_EQ(expandPcxRuns(cut, sizeof cut, out, 6), 1u);
}

TEST(TexturesPcx, StreamEndingEarlyFailsAndLeavesTheStore) {
  // 2 x 2 planar needs 12 bytes; only the top row's red line is there: a
  // truncated file, not a picture.
  const std::string good = writeScratch("full.pcx", pcxPlanar(2, 2, {0xCC, 7}));
  const std::string path = writeScratch("short.pcx", pcxPlanar(2, 2, {0xC2, 99}));
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(good));
  const Bytes before = store.pixels;
  EXPECT_FALSE(store.loadPcx(path));
  EXPECT_EQ(store.pixels, before);
}

struct MalformedCase {
  const char* name;
  Bytes bytes;
};

TEST(TexturesPcx, MalformedFilesFailAndLeaveTheStore) {
  PcxHeaderFields ok;
  ok.planes = 3;
  ok.xMax = 1;
  ok.yMax = 1;
  ok.bytesPerLine = 2;
  auto with = [&](auto change) {
    PcxHeaderFields f = ok;
    change(f);
    Bytes b = pcxHeader(f);
    b.resize(b.size() + 64, 0);
    return b;
  };
  Bytes truncatedHeader = pcxHeader(ok);
  truncatedHeader.resize(100);
  Bytes shortPaletted = pcxPaletted(2, 2, {1, 2, 3, 4});
  shortPaletted.resize(128 + 500);  // cannot hold a 768-byte palette
  const std::vector<MalformedCase> cases = {
      {"empty", {}},
      {"truncated header", truncatedHeader},
      {"version 3", with([](PcxHeaderFields& f) { f.version = 3; })},
      {"encoding 0", with([](PcxHeaderFields& f) { f.encoding = 0; })},
      {"bytes per line 0", with([](PcxHeaderFields& f) { f.bytesPerLine = 0; })},
      {"negative height", with([](PcxHeaderFields& f) { f.yMin = 10; f.yMax = 2; })},
      {"zero height", with([](PcxHeaderFields& f) { f.yMin = 5; f.yMax = 4; })},
      {"huge", with([](PcxHeaderFields& f) { f.bytesPerLine = 65535; f.yMax = 65535; })},
      {"just over 64 MiB", with([](PcxHeaderFields& f) { f.bytesPerLine = 4096; f.yMax = 5461; })},
      {"paletted without palette", shortPaletted},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = writeScratch("malformed.pcx", c.bytes);
    TextureStore store = storeWithMarker();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(store.loadPcx(path));
    const std::string said = ::testing::internal::GetCapturedStderr();
    expectMarkerKept(store);
    // One line naming the file.
    EXPECT_NE(said.find(path), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
  TextureStore store = storeWithMarker();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.loadPcx(scratchPath("no_such_file.pcx")));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("no_such_file.pcx"), std::string::npos);
  expectMarkerKept(store);
}

TEST(TexturesPcx, RandomFilesNeverReachOutsideTheirBuffers) {
  // Whatever the sizes and the stream say, decoding stays inside the file
  // and the image (run under valgrind or a sanitizer to see it).
  uint32_t state = 12345;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (int round = 0; round < 300; ++round) {
    PcxHeaderFields f;
    f.bitsPerPixel = uint8_t(next() % 3 == 0 ? 1 : 8);
    f.planes = uint8_t(1 + next() % 4);
    f.yMin = int(next() % 8);
    f.yMax = int(next() % 40);
    f.bytesPerLine = int(next() % 40);
    Bytes bytes = pcxHeader(f);
    const size_t extra = next() % 1400;
    for (size_t i = 0; i < extra; ++i) bytes.push_back(uint8_t(next() >> 24));
    DecodedImage image;
    const char* reason = "";
    if (decodePcx(bytes.data(), bytes.size(), image, &reason)) {
      EXPECT_EQ(image.pixels.size(), size_t(image.width) * image.height * 3);
    }
  }
}

TEST(TexturesPcx, LargestAcceptedSizeStillLoads) {
  // 4096 x 5461 x 3 bytes is just under 64 MiB: accepted, all black.
  PcxHeaderFields f;
  f.planes = 3;
  f.xMax = 4095;
  f.yMax = 5460;
  f.bytesPerLine = 4096;
  Bytes bytes = pcxHeader(f);
  // The whole picture as runs of 63 zeros, and the remainder one by one.
  const size_t total = size_t(4096) * 5461 * 3;
  for (size_t n = 0; n + 63 <= total; n += 63) bytes.insert(bytes.end(), {0xFF, 0});
  bytes.insert(bytes.end(), total % 63, 0);
  DecodedImage image;
  const char* reason = "";
  ASSERT_TRUE(decodePcx(bytes.data(), bytes.size(), image, &reason)) << reason;
  EXPECT_EQ(image.pixels.size(), total);
}

}  // namespace
