#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string kCapture = LUMIVAARA_BUILD_DIR "/lumivaara-capture";

int run(const std::string& args) {
  const int status = std::system((kCapture + " " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string freshDir(const char* name) {
  const std::string dir = std::string(LUMIVAARA_BUILD_DIR "/test-output-") + name;
  std::system(("rm -rf '" + dir + "'").c_str());
  return dir;
}

// Width and height from a PNG's IHDR chunk.
bool pngSize(const std::string& path, int* w, int* h) {
  std::ifstream f(path, std::ios::binary);
  unsigned char b[24];
  if (!f.read(reinterpret_cast<char*>(b), 24)) return false;
  if (b[0] != 0x89 || b[1] != 'P' || b[12] != 'I' || b[13] != 'H') return false;
  *w = (b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19];
  *h = (b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23];
  return true;
}

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

TEST(CaptureCli, BadArgumentsExitWithStatus2) {
  EXPECT_EQ(run("--fps"), 2);
  EXPECT_EQ(run("--size 12"), 2);
  EXPECT_EQ(run("--from 200 --to 100"), 2);
  EXPECT_EQ(run("--what 1"), 2);
}

TEST(CaptureCli, HelpPrintsTheUsageAndRendersNothing) {
  const std::string dir = freshDir("help");
  EXPECT_EQ(run("--frames " + dir + " --help"), 0);
  EXPECT_EQ(run("-h"), 0);
  EXPECT_FALSE(exists(dir));
}

TEST(CaptureCli, WritesTheFramesOfTheRangeNamedByDemoTime) {
  const std::string dir = freshDir("frames");
  ASSERT_EQ(run("--fps 10 --from 1000 --to 1250 --frames " + dir), 0);
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(dir + "/001000.png", &w, &h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_TRUE(exists(dir + "/001100.png"));
  EXPECT_TRUE(exists(dir + "/001200.png"));
  EXPECT_FALSE(exists(dir + "/000900.png"));  // rendered, not written
  EXPECT_FALSE(exists(dir + "/001300.png"));
}

TEST(CaptureCli, OtherSizesAndAVideo) {
  const std::string dir = freshDir("video");
  ASSERT_EQ(run("--fps 20 --size 320x240 --from 0 --to 200 --frames " + dir), 0);
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(dir + "/000050.png", &w, &h));
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  const std::string video = dir + "/clip.mp4";
  ASSERT_EQ(run("--fps 20 --size 320x240 --from 0 --to 500 --video " + video), 0);
  struct stat st;
  ASSERT_EQ(stat(video.c_str(), &st), 0);
  EXPECT_GT(st.st_size, 1000);
}
