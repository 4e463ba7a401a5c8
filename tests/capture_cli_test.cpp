#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

// Exit status of the capture run under a PATH holding only `pathDir`,
// killed after two minutes (status 124) rather than left hanging; its
// standard error into *err.
int runWithPath(const std::string& pathDir, const std::string& args, std::string* err) {
  const std::string errFile = pathDir + "/stderr.txt";
  const int status = std::system(("PATH='" + pathDir + "' /usr/bin/timeout -s KILL 120 " +
                                  kCapture + " " + args + " 2>'" + errFile + "'")
                                     .c_str());
  std::ifstream f(errFile);
  err->assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Writes an executable shell script named ffmpeg into dir.
void fakeFfmpeg(const std::string& dir, const std::string& body) {
  std::system(("mkdir -p '" + dir + "'").c_str());
  std::ofstream(dir + "/ffmpeg") << "#!/bin/sh\n" << body << "\n";
  chmod((dir + "/ffmpeg").c_str(), 0755);
}

std::string fileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
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
  ASSERT_EQ(run("--fps 20 --size 320x240 --from 0 --to 500 --video " + video +
                " --crf 30 --preset ultrafast"),
            0);
  struct stat st;
  ASSERT_EQ(stat(video.c_str(), &st), 0);
  EXPECT_GT(st.st_size, 1000);
  // x264 records its settings in the stream: the options reached it.
  const std::string bytes = fileText(video);
  EXPECT_NE(bytes.find("crf=30.0"), std::string::npos);
  EXPECT_NE(bytes.find("cabac=0"), std::string::npos) << "not the ultrafast preset";
}

// The ray-caster's statistics line (every 51 frames) is the demo's console
// output; a capture's standard output stays empty.
TEST(CaptureCli, StandardOutputCarriesNoStatistics) {
  const std::string dir = freshDir("stdout");
  const int status = std::system(
      (kCapture + " --fps 20 --to 6000 --quiet > '" + dir + ".txt' 2>/dev/null").c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(fileText(dir + ".txt"), "");
}

// ffmpeg missing, exiting at once, or killed after some frames: a clear
// message and status 1, never a hang.
TEST(CaptureCli, FailingFfmpegEndsTheCaptureWithStatus1) {
  const std::string args = "--fps 20 --size 320x240 --from 0 --to 2000 --video ";
  std::string err;
  const std::string missing = freshDir("ffmpeg-missing");
  std::system(("mkdir -p '" + missing + "'").c_str());
  EXPECT_EQ(runWithPath(missing, args + missing + "/a.mp4", &err), 1);
  EXPECT_NE(err.find("cannot run ffmpeg"), std::string::npos) << err;

  const std::string quits = freshDir("ffmpeg-quits");
  fakeFfmpeg(quits, "exit 3");
  EXPECT_EQ(runWithPath(quits, args + quits + "/a.mp4", &err), 1);
  EXPECT_NE(err.find("ffmpeg exited with status 3"), std::string::npos) << err;

  // Dies by SIGKILL after about three of the 40 frames.
  const std::string dies = freshDir("ffmpeg-dies");
  fakeFfmpeg(dies, "/usr/bin/head -c 1000000 >/dev/null; kill -KILL $$");
  EXPECT_EQ(runWithPath(dies, args + dies + "/a.mp4", &err), 1);
  EXPECT_NE(err.find("ffmpeg stopped reading frames"), std::string::npos) << err;
  EXPECT_NE(err.find("killed by signal 9"), std::string::npos) << err;
}
