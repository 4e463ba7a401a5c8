#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

#include "image_set.h"
#include "jpeg_writer.h"
#include "pcx_writer.h"
#include "textures/slot_table.h"
#include "textures/texture_store.h"
#include "textures_test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string builtImage(const std::string& file) { return std::string(LUMIVAARA_BUILD_DIR) + "/Images/" + file; }

// Top-down RGB of a loaded store.
Bytes topDown(const TextureStore& s) {
  Bytes out(s.pixels.size());
  const size_t stride = size_t(s.width) * 3;
  for (uint32_t y = 0; y < s.height; ++y)
    std::copy_n(&s.pixels[size_t(s.height - 1 - y) * stride], stride, &out[size_t(y) * stride]);
  return out;
}

TEST(TexturesAssetgen, PcxWritersRoundTripThroughTheLoader) {
  // Runs longer than 63, values at and above 0xC0, and lone values.
  const int w = 100, h = 3;
  Bytes indices(size_t(w) * h);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = i < 80 ? 0xC7 : uint8_t(i * 7);
  Bytes palette(768);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint8_t(i * 13 + 1);
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(writeScratch("rt8.pcx", encodePcxPaletted(w, h, indices.data(), palette.data()))));
  ASSERT_EQ(store.width, uint32_t(w));
  ASSERT_EQ(store.height, uint32_t(h));
  const Bytes got = topDown(store);
  for (size_t i = 0; i < indices.size(); ++i)
    for (size_t k = 0; k < 3; ++k) ASSERT_EQ(got[i * 3 + k], palette[indices[i] * 3 + k]) << i;

  Bytes rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = i % 200 < 70 ? 0xFF : uint8_t(i * 31);
  ASSERT_TRUE(store.loadPcx(writeScratch("rt24.pcx", encodePcxPlanar(w, h, rgb.data()))));
  EXPECT_EQ(topDown(store), rgb);
}

TEST(TexturesAssetgen, JpegWriterRoundTripsThroughTheLoader) {
  const int w = 64, h = 32;
  Bytes rgb(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[size_t(y * w + x) * 3];
      p[0] = uint8_t(x * 4);
      p[1] = uint8_t(y * 8);
      p[2] = 128;
    }
  TextureStore store;
  ASSERT_TRUE(store.loadJpeg(writeScratch("rt.jpg", encodeJpeg(w, h, rgb.data(), 92))));
  ASSERT_EQ(store.width, uint32_t(w));
  ASSERT_EQ(store.height, uint32_t(h));
  const Bytes got = topDown(store);
  double error = 0;
  for (size_t i = 0; i < rgb.size(); ++i) error += std::abs(int(got[i]) - int(rgb[i]));
  EXPECT_LT(error / double(rgb.size()), 3.0);
}

bool powerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

int jpegComponents(const Bytes& bytes) {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  const int components = info.num_components;
  jpeg_destroy_decompress(&info);
  return components;
}

TEST(TexturesAssetgen, GeneratedFilesCoverTheSlotTableInTheRightFormats) {
  std::set<std::string> needed;
  for (size_t i = 0; i < kTextureSlotCount; ++i) needed.insert(kTextureSlots[i].file + 7);
  std::set<std::string> made;
  bool paletted = false, planar = false;
  for (const ImageAsset& asset : imageAssets()) {
    SCOPED_TRACE(asset.file);
    made.insert(asset.file);
    const Bytes bytes = readFile(builtImage(asset.file));
    ASSERT_GT(bytes.size(), 128u);
    TextureStore store;
    if (asset.format == ImageFormat::Jpeg) {
      ASSERT_TRUE(store.loadJpeg(builtImage(asset.file)));
      EXPECT_EQ(jpegComponents(bytes), 3);
    } else {
      ASSERT_TRUE(store.loadPcx(builtImage(asset.file)));
      EXPECT_EQ(bytes[1], 5);  // version
      EXPECT_EQ(bytes[2], 1);  // run-length
      EXPECT_EQ(bytes[3], 8);
      const bool isPaletted = bytes[65] == 1;
      EXPECT_EQ(isPaletted, asset.format == ImageFormat::PcxPaletted);
      EXPECT_EQ(bytes[65], isPaletted ? 1 : 3);
      if (isPaletted) {
        EXPECT_EQ(bytes[bytes.size() - 769], 0x0C);
      }
      paletted |= isPaletted;
      planar |= !isPaletted;
    }
    EXPECT_TRUE(powerOfTwo(store.width));
    EXPECT_TRUE(powerOfTwo(store.height));
  }
  EXPECT_EQ(made, needed);
  EXPECT_EQ(made.size(), 26u);
  EXPECT_TRUE(paletted);
  EXPECT_TRUE(planar);
}

TEST(TexturesAssetgen, GenerationIsDeterministicAndTheBuildIsCurrent) {
  for (const ImageAsset& asset : imageAssets()) {
    SCOPED_TRACE(asset.file);
    const Bytes first = encodeImage(asset, asset.make(asset.size));
    const Bytes second = encodeImage(asset, asset.make(asset.size));
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == readFile(builtImage(asset.file)));
  }
}

const ImageAsset& assetNamed(const std::string& name) {
  for (const ImageAsset& a : imageAssets())
    if (name == a.file) return a;
  ADD_FAILURE() << name;
  return imageAssets().front();
}

// Mean colour difference between columns (or rows) a and b of a picture.
double lineDifference(const Picture& p, bool columns, int a, int b) {
  const int n = columns ? p.height : p.width;
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    const Rgb& x = columns ? p.at(a, i) : p.at(i, a);
    const Rgb& y = columns ? p.at(b, i) : p.at(i, b);
    sum += std::fabs(x.r - y.r) + std::fabs(x.g - y.g) + std::fabs(x.b - y.b);
  }
  return sum / n;
}

TEST(TexturesAssetgen, RepeatedPicturesTileWithoutSeams) {
  // The step across the wrap-around is no larger than the steps between
  // ordinary neighbours (their 95th percentile, with some slack).
  const char* names[] = {"prock.jpg", "laatat.jpg", "sky5.jpg", "metal003.jpg", "matosini.jpg",
                         "paperimassa2.jpg", "paperimassa2sumea.jpg", "ruskeahko1.jpg", "vihermaa.jpg",
                         "sora.jpg", "grass1.jpg", "kuivaruoho.jpg", "siniholekangas.jpg", "kallio1.jpg",
                         "kivio.jpg", "verkkotausta2co.jpg", "sat.jpg"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const ImageAsset& asset = assetNamed(name);
    const Picture p = asset.make(asset.size);
    const bool wrapsVertically = std::string(name) != "sat.jpg";  // the planet only wraps around
    for (bool columns : {true, false}) {
      if (!columns && !wrapsVertically) continue;
      const int last = (columns ? p.width : p.height) - 1;
      std::vector<double> steps;
      for (int i = 0; i < last; ++i) steps.push_back(lineDifference(p, columns, i, i + 1));
      std::sort(steps.begin(), steps.end());
      const double typical = steps[steps.size() * 95 / 100];
      EXPECT_LT(lineDifference(p, columns, last, 0), 1.5 * typical + 0.01) << (columns ? "columns" : "rows");
    }
  }
}

// Whether every pixel of the loaded picture outside the rectangles equals
// `ground`, and each rectangle holds some pixels that differ.
void expectTextInRectangles(const std::string& file, const std::vector<std::array<int, 4>>& boxes,
                            uint8_t ground) {
  SCOPED_TRACE(file);
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(builtImage(file)));
  ASSERT_EQ(store.width, 512u);
  ASSERT_EQ(store.height, 256u);
  const Bytes rgb = topDown(store);
  std::vector<int> inked(boxes.size(), 0);
  int stray = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 512; ++x) {
      const uint8_t* p = &rgb[size_t(y * 512 + x) * 3];
      if (p[0] == ground && p[1] == ground && p[2] == ground) continue;
      bool inside = false;
      for (size_t b = 0; b < boxes.size(); ++b)
        if (x >= boxes[b][0] && x < boxes[b][2] && y >= boxes[b][1] && y < boxes[b][3]) {
          ++inked[b];
          inside = true;
        }
      stray += inside ? 0 : 1;
    }
  EXPECT_EQ(stray, 0);
  for (size_t b = 0; b < boxes.size(); ++b) EXPECT_GT(inked[b], 200) << "rectangle " << b;
}

TEST(TexturesAssetgen, TextPicturesKeepToTheirRectangles) {
  expectTextInRectangles("creditsO.pcx", {{20, 10, 230, 130}, {240, 10, 500, 130}, {75, 130, 430, 250}}, 0);
  expectTextInRectangles("timeText.pcx",
                         {{280, 48, 490, 90}, {94, 0, 420, 50}, {0, 50, 250, 92}, {0, 92, 320, 145},
                          {0, 145, 250, 200}, {10, 200, 225, 250}, {260, 190, 503, 240},
                          {260, 140, 500, 190}, {340, 90, 445, 140}},
                         255);
  expectTextInRectangles("ukeText.pcx", {{0, 80, 511, 165}}, 255);

  // Credits letters invert to bright texels: their cores are stored near black.
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(builtImage("creditsO.pcx")));
  const Bytes keyed = keyedRgba(store, 0, 0, 0, true);
  int bright = 0;
  for (size_t i = 0; i < keyed.size(); i += 4)
    if (keyed[i + 3] == 255 && keyed[i] > 230) ++bright;
  EXPECT_GT(bright, 2000);
}

TEST(TexturesAssetgen, GlowTexelIsBlack) {
  TextureStore store;
  ASSERT_TRUE(store.loadPcx(builtImage("musta.pcx")));
  for (uint8_t c : store.pixels) ASSERT_EQ(c, 0);
}

}  // namespace
