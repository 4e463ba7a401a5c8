// A seek must land where a run drawn from 0 is: the same scene state after
// every frame whether frames are drawn or only advanced, and the same
// pictures from a capture that starts late as from one drawn throughout.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "child_limit.h"
#include "host/director.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "host/screen.h"
#include "host/seek.h"
#include "png_read.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The first frame of every timeline row, and three moments inside rows.
std::vector<int> pictureTimes() {
  std::set<int> times = {0, 196000, 256000, 324000};
  for (int t = 0; t < 330000;) {
    const int end = timelineRangeAt(t).endMs;
    if (end < 330000) times.insert(end);
    t = end;
  }
  return std::vector<int>(times.begin(), times.end());
}

// A 64-bit hash (FNV-1a) of the carried state's bytes: equal states hash alike.
uint64_t fingerprint(const DemoState& state) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(&state);
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i < sizeof state; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  return hash;
}

size_t differingBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class Seek : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    started = startOfflineHost(context, demo, kWidth, kHeight, &error);
    if (!started) std::fprintf(stderr, "no off-screen GL: %s\n", error.c_str());
    atLoad = demo.state;
    demo.rayStats.printLines = false;
  }
  // Back to the state after loading, as a fresh run starts.
  static void restart() {
    demo.state = atLoad;
  }
  static HeadlessContext context;
  static Demo demo;
  static bool started;
  static DemoState atLoad;
};
HeadlessContext Seek::context;
Demo Seek::demo;
bool Seek::started = false;
DemoState Seek::atLoad;

// Over each row's first frames at 60 fps, from the state a seek reaches:
// drawing a frame or only advancing it leaves the same state, the noise
// clock and every flare included; and a copy of that state, put back and
// drawn again, gives the same picture: what a frame carries is all in the
// copy.
TEST_F(Seek, StateAdvancesAlikeDrawnOrNot) {
  ASSERT_TRUE(started);
  constexpr int kFps = 60, kFrames = 20;
  for (int t = 0; t < 330000; t = timelineRangeAt(t).endMs) {
    SCOPED_TRACE("row from " + std::to_string(t) + " ms");
    restart();
    const long long first = frameIndexAfter(t - 1, kFps);
    for (long long i = 0; i < first; ++i) renderFrame(demo, frameTimeMs(i, kFps), false);
    const DemoState there = demo.state;

    std::vector<uint64_t> drawn;
    for (long long i = first; i < first + kFrames; ++i) {
      renderFrame(demo, frameTimeMs(i, kFps), true);
      drawn.push_back(fingerprint(demo.state));
    }
    std::vector<unsigned char> picture, again;
    readOutputPixels(demo.gfx, kWidth, kHeight, picture);
    demo.state = there;
    for (int k = 0; k < kFrames; ++k) {
      renderFrame(demo, frameTimeMs(first + k, kFps), false);
      ASSERT_EQ(fingerprint(demo.state), drawn[size_t(k)])
          << "frame at " << frameTimeMs(first + k, kFps) << " ms";
    }
    demo.state = there;
    for (long long i = first; i < first + kFrames; ++i) renderFrame(demo, frameTimeMs(i, kFps), true);
    readOutputPixels(demo.gfx, kWidth, kHeight, again);
    EXPECT_EQ(differingBytes(again, picture), 0u);
  }
}

// The whole timeline drawn from 0 at a low frame rate gives the state after
// every frame and the reference pictures; the same frames undrawn after a
// restore give the same states, and `lumivaara-capture --from T` (undrawn
// up to its primer frames) writes the same pictures byte for byte.
TEST_F(Seek, CaptureFromAnyMomentMatchesARunDrawnFromZero) {
  ASSERT_TRUE(started);
  constexpr int kFps = 4;
  const std::vector<int> times = pictureTimes();
  std::vector<long long> indices;
  for (int t : times) indices.push_back(frameIndexAfter(t - 1, kFps));
  long long frameCount = 0;
  while (frameTimeMs(frameCount, kFps) < 330000) ++frameCount;

  restart();
  std::vector<uint64_t> states;
  std::vector<std::vector<unsigned char>> pictures(times.size());
  for (long long i = 0; i < frameCount; ++i) {
    renderFrame(demo, frameTimeMs(i, kFps), true);
    states.push_back(fingerprint(demo.state));
    for (size_t k = 0; k < times.size(); ++k)
      if (indices[k] == i) readOutputPixels(demo.gfx, kWidth, kHeight, pictures[k]);
  }

  restart();
  for (long long i = 0; i < frameCount; ++i) {
    renderFrame(demo, frameTimeMs(i, kFps), false);
    ASSERT_EQ(fingerprint(demo.state), states[size_t(i)])
        << "undrawn frame at " << frameTimeMs(i, kFps) << " ms";
  }

  const std::string dir = std::string(LUMIVAARA_BUILD_DIR) + "/seek-test-frames";
  for (size_t k = 0; k < times.size(); ++k) {
    const int at = frameTimeMs(indices[k], kFps);
    SCOPED_TRACE("capture from " + std::to_string(times[k]) + " ms");
    std::system(("rm -rf '" + dir + "'").c_str());
    const std::string command = std::string("'") + LUMIVAARA_BUILD_DIR +
                                "/lumivaara-capture' --quiet --fps " + std::to_string(kFps) +
                                " --from " + std::to_string(times[k]) + " --to " +
                                std::to_string(at + 1) + " --frames '" + dir + "' 2>/dev/null";
    ASSERT_EQ(std::system(limited(command).c_str()), 0) << command;
    char name[32];
    std::snprintf(name, sizeof name, "/%06d.png", at);
    const std::vector<unsigned char> seeked = readPng(dir + name, kWidth, kHeight);
    ASSERT_FALSE(seeked.empty()) << dir + name;
    EXPECT_EQ(differingBytes(seeked, pictures[k]), 0u);
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
