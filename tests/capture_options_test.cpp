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
  ASSERT_TRUE(parse({"--frames", "out"}, o, &error)) << error;
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
  ASSERT_TRUE(parse({"--fps=30", "--size", "640x360", "--from", "1000", "--to=1100",
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

TEST(CaptureOptions, RejectsBadArgumentsInOneForm) {
  const struct {
    std::vector<const char*> args;
    const char* error;
  } cases[] = {
      {{"--fps"}, "--fps needs a value"},
      {{"--fps", "2000"}, "--fps: 2000 is out of range (1 to 1000)"},
      {{"--fps=abc"}, "--fps: abc is not a whole number (1 to 1000)"},
      {{"--size", "800"}, "--size: 800 is not a size WxH (1x1 to 16384x16384)"},
      {{"--size", "16384x16384"},
       "--size: 16384x16384 is out of range (at most 64 megapixels, 8192x8192, to keep the "
       "frames' memory in bounds)"},
      {{"--from", "-1"}, "--from: -1 is out of range (0 to 329999)"},
      {{"--from", "340000"}, "--from: 340000 is out of range (0 to 329999)"},
      {{"--from", "5", "--to", "5"}, "--from 5 is not before --to 5"},
      {{"--to", "0"}, "--to: 0 is out of range (1 to 330000)"},
      {{"--bogus", "1"}, "unknown option --bogus"},
      {{"--quiet=1"}, "--quiet takes no value"},
      {{"stray"}, "unexpected argument stray"},
      {{"--frames", ""}, "--frames needs a value"},
      {{"--render", "vulkan"}, "--render: vulkan is not one of gl, software, auto"},
      {{"--fps", "1", "--from", "100", "--to", "999", "--frames", "d"},
       "no frame at 1 fps lies in 100..999 ms"},
      {{"--to", "100"}, "nothing to write: give --frames DIR, --video FILE or both"},
      // Encoder settings need a video of a format they apply to.
      {{"--crf", "18"}, "--crf and --preset need --video FILE"},
      {{"--lossless"}, "--lossless needs --video FILE.mkv"},
      {{"--video", "a.mp4", "--crf", "52"}, "--crf: 52 is out of range (0 to 51)"},
      {{"--video", "a.mp4", "--preset", "quick"},
       "--preset: quick is not one of ultrafast, superfast, veryfast, faster, fast, medium, "
       "slow, slower, veryslow, placebo"},
      {{"--video", "a.webm", "--crf", "20"},
       "--crf and --preset set H.264: name the video .mp4, .m4v, .mov or .mkv"},
      {{"--video", "a.mp4", "--lossless"}, "--lossless writes Matroska: name the video FILE.mkv"},
      {{"--video", "a.mkv", "--lossless", "--crf", "10"}, "--lossless takes no --crf or --preset"},
  };
  for (const auto& c : cases) {
    CaptureOptions o;
    std::string error;
    EXPECT_FALSE(parse(c.args, o, &error)) << c.args[0];
    EXPECT_EQ(error, c.error);
  }
}

TEST(CaptureOptions, ATimePastTheEndIsTheEndWithANote) {
  CaptureOptions o;
  std::string error;
  ASSERT_TRUE(parse({"--from", "329900", "--to", "2147483647", "--frames", "d"}, o, &error))
      << error;
  EXPECT_EQ(o.toMs, 330000);
  EXPECT_EQ(o.note, "--to 2147483647 is past the end of the demo: taking 330000");
  CaptureOptions end;
  ASSERT_TRUE(parse({"--to", "330000", "--frames", "d"}, end, &error)) << error;
  EXPECT_EQ(end.note, "");
}

TEST(CaptureOptions, HelpAndVersionEndTheParse) {
  CaptureOptions o;
  std::string error;
  ASSERT_TRUE(parse({"--fps", "30", "--help", "--bogus"}, o, &error));
  EXPECT_TRUE(o.help);
  CaptureOptions version;
  ASSERT_TRUE(parse({"--version", "--bogus"}, version, &error));
  EXPECT_TRUE(version.version);
  CaptureOptions plain;
  ASSERT_TRUE(parse({"--fps", "30", "--frames", "d"}, plain, &error)) << error;
  EXPECT_FALSE(plain.help);
}

TEST(CaptureOptions, FrameClockRoundsDown) {
  EXPECT_EQ(frameTimeMs(0, 60), 0);
  EXPECT_EQ(frameTimeMs(1, 60), 16);
  EXPECT_EQ(frameTimeMs(2, 60), 33);
  EXPECT_EQ(frameTimeMs(3, 30), 100);
  EXPECT_EQ(frameTimeMs(19800, 60), 330000);
}
