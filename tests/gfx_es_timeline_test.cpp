// The whole timeline on the OpenGL ES backend: a 1 fps capture draws every
// scene, and its frames stay close to desktop GL's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "child_limit.h"
#include "png_read.h"

namespace {

const std::string kCapture = std::string(LUMIVAARA_BUILD_DIR) + "/lumivaara-capture";
const std::string kDir = std::string(LUMIVAARA_BUILD_DIR) + "/gfx-es-timeline";
constexpr int kWidth = 400, kHeight = 300;

bool capture(const std::string& api) {
  const std::string dir = kDir + "/" + api;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + kDir + "'").c_str());
  const std::string cmd = kCapture + " --gl " + api + " --fps 1 --quiet --size 400x300 --frames '" +
                          dir + "' 2>/dev/null";
  return std::system(limited(cmd).c_str()) == 0;
}

}  // namespace

TEST(GfxEsTimeline, EveryFrameDrawsCloseToDesktopGl) {
  ASSERT_TRUE(capture("es"));
  ASSERT_TRUE(capture("desktop"));
  double sum = 0;
  int frames = 0;
  for (int t = 0; t < 330000; t += 1000) {
    char name[16];
    std::snprintf(name, sizeof name, "/%06d.png", t);
    const std::vector<unsigned char> es = readPng(kDir + "/es" + name, kWidth, kHeight);
    const std::vector<unsigned char> desktop = readPng(kDir + "/desktop" + name, kWidth, kHeight);
    ASSERT_FALSE(es.empty()) << name;
    ASSERT_FALSE(desktop.empty()) << name;
    double apart = 0;
    for (size_t i = 0; i < es.size(); ++i) apart += std::abs(int(es[i]) - int(desktop[i]));
    apart /= double(es.size());
    // A scene missing or drawn wrong moves a frame by tens of levels on
    // average; the backends' rounding by a fraction of one.
    EXPECT_LT(apart, 6.0) << name;
    sum += apart;
    ++frames;
  }
  EXPECT_LT(sum / frames, 0.5);
  std::system(("rm -rf '" + kDir + "'").c_str());
}
