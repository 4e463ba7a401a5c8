#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_limit.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "png_read.h"

namespace {

const std::string kCapture = LUMIVAARA_BUILD_DIR "/lumivaara-capture";

std::string freshDir(const char* name) {
  const std::string dir = std::string(LUMIVAARA_BUILD_DIR "/test-output-") + name;
  std::system(("rm -rf '" + dir + "'").c_str());
  return dir;
}

std::string pngName(const std::string& dir, int t) {
  char name[32];
  std::snprintf(name, sizeof name, "/%06d.png", t);
  return dir + name;
}

// Standard output of a shell command.
std::string output(const std::string& command) {
  std::string text;
  if (FILE* p = popen(limited(command).c_str(), "r")) {
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    pclose(p);
  }
  return text;
}

}  // namespace

// The capture renders a frame while earlier ones are still being read back
// and written. Its frames must be those of rendering and reading one frame
// at a time, over the first feedback transition, the landscape and the
// planet with its craft meshes.
TEST(CapturePipeline, FramesMatchRenderingOneAtATime) {
  const std::string dir = freshDir("pipeline");
  const int fps = 3, from = 16000, to = 53100, w = 800, h = 600;
  ASSERT_EQ(std::system(limited(kCapture + " --quiet --fps 3 --from 16000 --to 53100 --frames " +
                                dir + " 2>/dev/null").c_str()),
            0);

  HeadlessContext ctx;

  Demo demo;
  std::string error;
  ASSERT_TRUE(startOfflineHost(ctx, demo, w, h, &error)) << error;
  std::vector<unsigned char> rgb;
  int compared = 0, mismatched = 0;
  for (long long i = 0; frameTimeMs(i, fps) < to; ++i) {
    const int t = frameTimeMs(i, fps);
    renderFrame(demo, t);
    if (t < from) continue;
    readOutputPixels(demo.gfx, w, h, rgb);
    const std::vector<unsigned char> written = readPng(pngName(dir, t), w, h);
    ASSERT_EQ(written.size(), rgb.size()) << "frame " << t << " missing";
    ++compared;
    if (written != rgb && ++mismatched <= 3) ADD_FAILURE() << "frame " << t << " differs";
  }
  EXPECT_EQ(compared, 112);
  EXPECT_EQ(mismatched, 0);
  destroyHeadlessContext(ctx);
}

// The archive master decodes back to exactly the pixels of the PNG frames.
TEST(CapturePipeline, LosslessVideoDecodesToThePngFrames) {
  const std::string dir = freshDir("lossless");
  const std::string video = dir + "/master.mkv";
  const int w = 320, h = 240;
  ASSERT_EQ(std::system(limited(kCapture + " --quiet --fps 10 --size 320x240 --from 1000 --to 1500"
                                          " --lossless --frames " + dir + " --video " + video +
                                " 2>/dev/null").c_str()),
            0);
  const std::string codecs =
      output("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " + video);
  EXPECT_NE(codecs.find("ffv1"), std::string::npos) << codecs;
  EXPECT_NE(codecs.find("flac"), std::string::npos) << codecs;

  const std::string decoded =
      output("ffmpeg -v error -i " + video + " -map 0:v -f rawvideo -pix_fmt rgb24 -");
  const size_t frameBytes = size_t(w) * h * 3;
  ASSERT_EQ(decoded.size(), 5 * frameBytes);
  for (int k = 0; k < 5; ++k) {
    const std::vector<unsigned char> png = readPng(pngName(dir, 1000 + 100 * k), w, h);
    ASSERT_EQ(png.size(), frameBytes);
    EXPECT_TRUE(std::equal(png.begin(), png.end(),
                           reinterpret_cast<const unsigned char*>(decoded.data()) + k * frameBytes))
        << "frame " << k;
  }
}

// A 16:9 capture shows the 4:3 picture centred between black columns, the
// window's rule: 640 x 360 holds a 480 x 360 picture from x 80 to 559.
TEST(CapturePipeline, WideSizeKeepsBlackColumns) {
  const std::string dir = freshDir("wide");
  const int w = 640, h = 360;
  ASSERT_EQ(std::system(limited(kCapture + " --quiet --fps 10 --size 640x360 --from 3000 --to 3100"
                                          " --frames " + dir + " 2>/dev/null").c_str()),
            0);
  const std::vector<unsigned char> rgb = readPng(pngName(dir, 3000), w, h);
  ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
  auto at = [&](int x, int y) { return &rgb[(size_t(y) * w + x) * 3]; };
  int lit = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = at(x, y);
      const bool black = p[0] == 0 && p[1] == 0 && p[2] == 0;
      if (x < 80 || x >= 560) {
        if (!black) FAIL() << "column " << x << " row " << y << " is not black";
      } else if (!black) {
        ++lit;
      }
    }
  // The band (two thirds of the picture's height) is sky, reaching both
  // edges of the picture: not shrunk, not stretched.
  EXPECT_GT(lit, 480 * 240 * 9 / 10);
  for (int y = 130; y < 230; y += 20) {
    EXPECT_GT(at(80, y)[2], 40) << "row " << y;
    EXPECT_GT(at(559, y)[2], 40) << "row " << y;
  }
}
