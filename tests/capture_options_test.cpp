#include <gtest/gtest.h>

#include <vector>

#include "capture_options.h"
#include "host/offline_host.h"

namespace {

bool parse(std::vector<const char*> args, CaptureOptions& out, std::string* error) {
  args.insert(args.begin(), "lumivaara-capture");
  return parseCaptureOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), out,
                             error);
}

}  // namespace

TEST(CaptureOptions, DefaultsAndEveryFlag) {
  CaptureOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, &error));
  EXPECT_EQ(o.fps, 60);
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  EXPECT_EQ(o.fromMs, 0);
  EXPECT_EQ(o.toMs, 330000);
  EXPECT_EQ(o.crf, kDefaultCrf);
  EXPECT_EQ(o.preset, kDefaultPreset);
  EXPECT_FALSE(o.lossless);
  EXPECT_FALSE(o.quiet);
  EXPECT_EQ(o.render, RenderChoice::Auto);
  EXPECT_FALSE(o.renderGiven);  // LUMIVAARA_RENDER then decides
  ASSERT_TRUE(parse({"--fps", "30", "--size", "640x360", "--from", "1000", "--to", "1100",
                     "--frames", "out", "--quiet", "--video", "a.mp4", "--crf", "23", "--preset",
                     "medium", "--render", "gl"},
                    o, &error))
      << error;
  EXPECT_EQ(o.fps, 30);
  EXPECT_EQ(o.width, 640);
  EXPECT_EQ(o.height, 360);
  EXPECT_EQ(o.fromMs, 1000);
  EXPECT_EQ(o.toMs, 1100);
  EXPECT_EQ(o.framesDir, "out");
  EXPECT_EQ(o.videoFile, "a.mp4");
  EXPECT_EQ(o.crf, 23);
  EXPECT_EQ(o.preset, "medium");
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.render, RenderChoice::Gl);
  EXPECT_TRUE(o.renderGiven);

  CaptureOptions master;
  ASSERT_TRUE(parse({"--lossless", "--video", "Master.MKV"}, master, &error)) << error;
  EXPECT_TRUE(master.lossless);
}

TEST(CaptureOptions, RejectsBadArguments) {
  const std::vector<std::vector<const char*>> bad = {
      {"--fps"},           {"--fps", "0"},          {"--fps", "abc"},
      {"--size", "800"},   {"--size", "0x600"},     {"--size", "800x"},
      {"--from", "-1"},    {"--from", "5", "--to", "5"}, {"--bogus", "1"},
      {"stray"},           {"--frames", ""},        {"--to", "12x"},
      {"--render", "vulkan"},   {"--fps", "1", "--from", "100", "--to", "999"},
      // Encoder settings need a video of a format they apply to.
      {"--crf", "18"},     {"--lossless"},          {"--video", "a.mp4", "--crf", "52"},
      {"--video", "a.mp4", "--crf", "-1"},          {"--video", "a.mp4", "--preset", "quick"},
      {"--video", "a.webm", "--crf", "20"},         {"--video", "a.mp4", "--lossless"},
      {"--video", "a.mkv", "--lossless", "--crf", "10"}};
  for (const auto& args : bad) {
    CaptureOptions o;
    std::string error;
    EXPECT_FALSE(parse(args, o, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(CaptureOptions, HelpEndsTheParse) {
  CaptureOptions o;
  std::string error;
  ASSERT_TRUE(parse({"--fps", "30", "--help", "--bogus"}, o, &error));
  EXPECT_TRUE(o.help);
  CaptureOptions plain;
  ASSERT_TRUE(parse({"--fps", "30"}, plain, &error));
  EXPECT_FALSE(plain.help);
}

TEST(CaptureOptions, FrameClockRoundsDown) {
  EXPECT_EQ(frameTimeMs(0, 60), 0);
  EXPECT_EQ(frameTimeMs(1, 60), 16);
  EXPECT_EQ(frameTimeMs(2, 60), 33);
  EXPECT_EQ(frameTimeMs(3, 30), 100);
  EXPECT_EQ(frameTimeMs(19800, 60), 330000);
}
