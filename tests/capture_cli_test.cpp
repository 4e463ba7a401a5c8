#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "child_limit.h"

namespace {

const std::string kCapture = LUMIVAARA_BUILD_DIR "/lumivaara-capture";

int run(const std::string& args) {
  const int status = std::system(limited(kCapture + " " + args + " 2>/dev/null").c_str());
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

// Runs a shell line through bash (for limits and traps) with the capture
// as $C; its standard error into *err.
int runBash(const std::string& line, std::string* err) {
  // One file per test process: ctest runs the tests side by side.
  const std::string errFile = std::string(LUMIVAARA_BUILD_DIR) + "/test-output-stderr-" +
                              std::to_string(getpid()) + ".txt";
  const std::string cmd = "C='" + kCapture + "' /bin/bash -c '" + line + "' 2>'" + errFile + "'";
  const int status = std::system(limited(cmd).c_str());
  *err = fileText(errFile);
  std::remove(errFile.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The frame files of a folder, and whether each ends with PNG's end chunk.
std::vector<std::string> framesIn(const std::string& dir, bool* allWhole) {
  std::vector<std::string> names;
  *allWhole = true;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      names.push_back(name);
      if (e->d_type != DT_REG) continue;
      const std::string bytes = fileText(dir + "/" + name);
      if (bytes.size() < 12 || bytes.compare(bytes.size() - 8, 4, "IEND") != 0) *allWhole = false;
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CaptureCli, BadArgumentsExitWithStatus2) {
  EXPECT_EQ(run("--fps"), 2);
  EXPECT_EQ(run("--size 12"), 2);
  EXPECT_EQ(run("--from 200 --to 100"), 2);
  EXPECT_EQ(run("--what 1"), 2);
  EXPECT_EQ(run("--to 100"), 2);  // nothing to write
}

// Nothing starts outside the demo, and nothing is written past its end.
TEST(CaptureCli, TimesOutsideTheDemoAreRefusedOrCut) {
  const std::string late = freshDir("late");
  EXPECT_EQ(run("--from 340000 --to 341000 --frames " + late), 2);
  EXPECT_FALSE(exists(late));
  std::string err;
  ASSERT_EQ(runBash("$C --quiet --fps 10 --from 329800 --to 340000 --frames " + late, &err), 0)
      << err;
  EXPECT_NE(err.find("--to 340000 is past the end of the demo: taking 330000"), std::string::npos)
      << err;
  bool whole = false;
  const std::vector<std::string> frames = framesIn(late, &whole);
  EXPECT_EQ(frames, (std::vector<std::string>{"329800.png", "329900.png"}));
}

// Every output is tried before anything renders; a refusal names the option
// and the reason, with status 2.
TEST(CaptureCli, UnusableOutputsAreRefusedBeforeRendering) {
  const std::string dir = freshDir("refused");
  std::system(("mkdir -p '" + dir + "/folder' && : >'" + dir + "/file'").c_str());
  const struct {
    std::string args;
    const char* reason;
  } cases[] = {
      {"--frames " + dir + "/file", "Not a directory"},
      // Under a regular file: unwritable even for root, whom permission bits do not stop.
      {"--frames " + dir + "/file/sub", "Not a directory"},
      {"--video " + dir + "/file/a.mp4", "Not a directory"},
      {"--video " + dir + "/missing/a.mp4", "No such file or directory"},
      {"--video " + dir + "/folder", "Is a directory"},
      {"--video " + dir + "/a.wav", "sound only"},
      {"--video " + dir + "/a.jpg", "single picture"},
      {"--video " + dir + "/a.xyz", "knows no format"},
      {"--video " + dir + "/a.mp4 --size 801x601", "width not divisible by 2"},
  };
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(runBash("$C --fps 10 --to 300 " + c.args, &err), 2) << c.args << ": " << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.args << ": " << err;
    EXPECT_EQ(err.find("rendered"), std::string::npos) << c.args << ": " << err;
  }
  bool whole = false;
  EXPECT_EQ(framesIn(dir, &whole), (std::vector<std::string>{"file", "folder"}))
      << "a trial or a refused output left a file behind";
}

TEST(CaptureCli, FormatsWithoutSoundGetThePictureOnly) {
  const std::string dir = freshDir("picture-only");
  std::system(("mkdir -p '" + dir + "'").c_str());
  for (const char* name : {"a.gif", "a.png"}) {
    std::string err;
    const std::string file = dir + "/" + name;
    ASSERT_EQ(runBash("$C --quiet --fps 10 --to 300 --video " + file, &err), 0) << err;
    EXPECT_NE(err.find("holds no sound: writing the picture only"), std::string::npos) << err;
    const std::string bytes = fileText(file);
    EXPECT_EQ(bytes.find(name[2] == 'g' ? "GIF8" : "\x89PNG"), 0u) << name;
    if (name[2] == 'p') {
      EXPECT_NE(bytes.find("acTL"), std::string::npos) << "not animated";
    }
  }
}

// A file size limit stands in for a full disk: the failing frame is named
// with the system's reason, nothing partial is left under a frame's name, and
// the summary counts the frames saved.
TEST(CaptureCli, AFailedWriteStopsWithTheReasonAndLeavesNoPartialFrame) {
  const std::string dir = freshDir("full");
  std::string err;
  // 280 KiB: the first frames of the landscape fit, the fourth (291 KB) does not.
  EXPECT_EQ(runBash("trap \"\" XFSZ; ulimit -f 280; exec $C --quiet --fps 10 --from 17000 "
                    "--to 17500 --frames " + dir, &err),
            1)
      << err;
  EXPECT_NE(err.find(".png: File too large"), std::string::npos) << err;
  bool whole = false;
  const std::vector<std::string> frames = framesIn(dir, &whole);
  EXPECT_TRUE(whole) << "a partial frame was left";
  EXPECT_FALSE(frames.empty());
  EXPECT_NE(err.find(", " + std::to_string(frames.size()) + " written"), std::string::npos) << err;
}

TEST(CaptureCli, HelpPrintsTheUsageAndRendersNothing) {
  const std::string dir = freshDir("help");
  EXPECT_EQ(run("--frames " + dir + " --help"), 0);
  EXPECT_EQ(run("-h"), 0);
  EXPECT_EQ(run("--version --frames " + dir), 0);
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

// --timings accounts for the start-up step by step: each step once, in the
// order it runs, and a total that is their sum.
TEST(CaptureCli, TimingsAccountForTheStartUpStepByStep) {
  const std::string dir = freshDir("timings");
  std::string err;
  ASSERT_EQ(runBash("\"$C\" --fps 60 --to 16 --quiet --timings --frames " + dir, &err), 0) << err;
  const char* steps[] = {"options and output checks", "the demo's memory",
                         "off-screen context", "render path",
                         "images", "set-up: lantern corridor", "set-up: tunnel",
                         "feedback buffer", "screen texture", "first frame",
                         "to the first frame"};
  size_t at = 0;
  for (const char* step : steps) {
    const size_t found = err.find(step, at);
    ASSERT_NE(found, std::string::npos) << step << " missing or out of order in:\n" << err;
    at = found;
  }
  double sum = 0, total = 0;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);) {
    const size_t ms = line.rfind(" ms");
    if (line.compare(0, 2, "  ") != 0 || ms == std::string::npos) continue;
    const double value = std::atof(line.substr(line.rfind(' ', ms - 1) + 1).c_str());
    EXPECT_GE(value, 0.0) << line;
    if (line.find("to the first frame") != std::string::npos) total = value;
    else sum += value;
  }
  EXPECT_GT(total, 0.0);
  EXPECT_NEAR(total, sum, 0.1 * 20);  // each step is rounded to 0.1 ms
}

// The ray-caster's statistics line (every 51 frames) is the demo's console
// output; a capture's standard output stays empty.
TEST(CaptureCli, StandardOutputCarriesNoStatistics) {
  const std::string dir = freshDir("stdout");
  const int status = std::system(
      limited(kCapture + " --fps 20 --to 6000 --quiet --size 80x60 --frames " + dir + " > '" +
              dir + ".txt' 2>/dev/null")
          .c_str());
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

  // Passes the trial (the real ffmpeg's) and dies by SIGKILL after about
  // three of the 40 frames: the video holds nothing for certain.
  const std::string dies = freshDir("ffmpeg-dies");
  fakeFfmpeg(dies, "case \"$*\" in *lavfi*) exec /usr/bin/ffmpeg \"$@\";; esac\n"
                   "/usr/bin/head -c 1000000 >/dev/null; kill -KILL $$");
  EXPECT_EQ(runWithPath(dies, args + dies + "/a.mp4", &err), 1);
  EXPECT_NE(err.find("ffmpeg stopped reading frames"), std::string::npos) << err;
  EXPECT_NE(err.find("killed by signal 9"), std::string::npos) << err;
  EXPECT_NE(err.find(", 0 written"), std::string::npos) << err;
}
