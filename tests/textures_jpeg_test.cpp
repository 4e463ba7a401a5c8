#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdlib>

#include "jpeg_writer.h"
#include "textures/texture_store.h"
#include "textures_test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 32 x 16, top-down: red in the top-left 8 x 8 block, green in the
// bottom-right one, blue elsewhere.
Bytes testPicture() {
  Bytes rgb(32 * 16 * 3);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      uint8_t* p = &rgb[size_t(y * 32 + x) * 3];
      const bool red = x < 8 && y < 8, green = x >= 24 && y >= 8;
      p[0] = red ? 255 : 0;
      p[1] = green ? 255 : 0;
      p[2] = red || green ? 0 : 255;
    }
  return rgb;
}

Bytes testJpeg() {
  const Bytes rgb = testPicture();
  return encodeJpeg(32, 16, rgb.data(), 95);
}

void expectNear(const uint8_t* p, int r, int g, int b) {
  EXPECT_NEAR(p[0], r, 24);
  EXPECT_NEAR(p[1], g, 24);
  EXPECT_NEAR(p[2], b, 24);
}

TEST(TexturesJpeg, StoredBottomUp) {
  const std::string path = writeScratch("order.jpg", testJpeg());
  TextureStore store;
  ASSERT_TRUE(store.loadJpeg(path));
  ASSERT_EQ(store.width, 32u);
  ASSERT_EQ(store.height, 16u);
  ASSERT_EQ(store.pixels.size(), 32u * 16u * 3u);
  // The file's top-left pixel is the first pixel of the store's last row.
  expectNear(&store.pixels[size_t(15 * 32 + 0) * 3], 255, 0, 0);
  // The file's bottom-right pixel is the last pixel of the first row.
  expectNear(&store.pixels[size_t(0 * 32 + 31) * 3], 0, 255, 0);
  expectNear(&store.pixels[0], 0, 0, 255);
}

TEST(TexturesJpeg, GreyscaleComesOutAsRgb) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = 8;
  info.image_height = 8;
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  uint8_t row[8] = {128, 128, 128, 128, 128, 128, 128, 128};
  while (info.next_scanline < 8) {
    JSAMPROW r = row;
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  const Bytes bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);

  TextureStore store;
  ASSERT_TRUE(store.loadJpeg(writeScratch("grey.jpg", bytes)));
  ASSERT_EQ(store.pixels.size(), 8u * 8u * 3u);
  for (size_t i = 0; i < store.pixels.size(); ++i) EXPECT_NEAR(store.pixels[i], 128, 2);
}

// Offset of the start-of-frame segment's height field.
size_t frameHeaderAt(const Bytes& jpeg) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
  return 0;
}

// Offset of the first byte after the start-of-scan header.
size_t scanDataAt(const Bytes& jpeg) {
  for (size_t i = 2; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
  return 0;
}

TEST(TexturesJpeg, DamagedFilesFailCleanly) {
  const Bytes good = testJpeg();
  const size_t sof = frameHeaderAt(good);
  const size_t scan = scanDataAt(good);
  ASSERT_GT(sof, 0u);
  ASSERT_GT(scan, 0u);

  struct Case {
    const char* name;
    Bytes bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"not a JPEG", Bytes(200, 0x41)});
  cases.push_back({"header only", Bytes(good.begin(), good.begin() + long(sof))});
  cases.push_back({"truncated scan", Bytes(good.begin(), good.begin() + long(scan + 20))});
  Bytes huge = good;  // 65000 x 65000 in the frame header
  huge[sof] = 0xFD;
  huge[sof + 1] = 0xE8;
  huge[sof + 2] = 0xFD;
  huge[sof + 3] = 0xE8;
  cases.push_back({"huge", huge});
  Bytes precision = good;  // 12-bit samples are not in this library build
  precision[sof - 1] = 12;
  cases.push_back({"12-bit", precision});
  Bytes markers = good;  // the scan cut by an end-of-image marker
  markers[scan + 4] = 0xFF;
  markers[scan + 5] = 0xD9;
  cases.push_back({"marker in scan", markers});
  Bytes noise = good;  // entropy-coded data overwritten
  for (size_t i = scan; i + 2 < noise.size(); ++i) {
    const uint8_t v = uint8_t(i * 167);
    noise[i] = v == 0xFF ? 0 : v;  // no accidental markers
  }
  cases.push_back({"scrambled scan", noise});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = writeScratch("damaged.jpg", c.bytes);
    TextureStore store = storeWithMarker();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(store.loadJpeg(path));
    const std::string said = ::testing::internal::GetCapturedStderr();
    expectMarkerKept(store);
    EXPECT_NE(said.find(path), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }

  TextureStore store = storeWithMarker();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.loadJpeg(scratchPath("no_such_file.jpg")));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("no_such_file.jpg"), std::string::npos);
  expectMarkerKept(store);

  // The decoder is still usable after all those failures.
  ASSERT_TRUE(store.loadJpeg(writeScratch("after.jpg", good)));
  EXPECT_EQ(store.width, 32u);
}

TEST(TexturesJpeg, RandomDamageNeverEndsTheProgram) {
  // libjpeg's own handler would exit the process on the first error.
  const Bytes good = testJpeg();
  uint32_t state = 777;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  ::testing::internal::CaptureStderr();
  for (int round = 0; round < 150; ++round) {
    Bytes bytes = good;
    const int flips = 1 + int(next() % 6);
    for (int k = 0; k < flips; ++k) bytes[next() % bytes.size()] = uint8_t(next() >> 24);
    if (next() % 4 == 0) bytes.resize(next() % bytes.size());
    TextureStore store = storeWithMarker();
    if (store.loadJpeg(writeScratch("random.jpg", bytes))) {
      EXPECT_EQ(store.pixels.size(), size_t(store.width) * store.height * 3);
    } else {
      expectMarkerKept(store);
    }
  }
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
