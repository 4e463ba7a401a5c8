#include <gtest/gtest.h>

#include <vector>

#include "bench_options.h"
#include "bench_report.h"
#include "bench_timeline.h"

namespace {

bool parse(std::vector<const char*> args, BenchOptions& out, std::string* error) {
  args.insert(args.begin(), "lumivaara-bench");
  return parseBenchOptions(int(args.size()), const_cast<char**>(args.data()), out, error);
}

}  // namespace

TEST(BenchOptions, DefaultsAndEveryFlag) {
  BenchOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, &error));
  EXPECT_EQ(o.fps, 30);
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  EXPECT_EQ(o.fromMs, 0);
  EXPECT_EQ(o.toMs, 330000);
  EXPECT_TRUE(o.jsonFile.empty());
  EXPECT_FALSE(o.renderGiven);

  ASSERT_TRUE(parse({"--fps", "60", "--size", "1024x768", "--from", "500", "--to", "17500",
                     "--json", "out.json", "--render", "software"},
                    o, &error))
      << error;
  EXPECT_TRUE(o.renderGiven);
  EXPECT_EQ(o.render, RenderChoice::Software);
  EXPECT_EQ(o.fps, 60);
  EXPECT_EQ(o.width, 1024);
  EXPECT_EQ(o.height, 768);
  EXPECT_EQ(o.fromMs, 500);
  EXPECT_EQ(o.toMs, 17500);
  EXPECT_EQ(o.jsonFile, "out.json");
}

TEST(BenchOptions, RejectsBadArgumentsInOneForm) {
  const struct {
    std::vector<const char*> args;
    const char* error;
  } cases[] = {
      {{"--fps"}, "--fps needs a value"},
      {{"--fps", "0"}, "--fps: 0 is out of range (1 to 1000)"},
      {{"--fps", "12x"}, "--fps: 12x is not a whole number (1 to 1000)"},
      {{"--size", "x600"}, "--size: x600 is not a size WxH (512x384 to 16384x16384)"},
      {{"--size=100x100"}, "--size: 100x100 is out of range (512x384 to 16384x16384)"},
      {{"--from", "340000"}, "--from: 340000 is out of range (0 to 329999)"},
      {{"--to", "abc"}, "--to: abc is not a whole number (1 to 330000)"},
      {{"--from", "5000", "--to", "5000"}, "--from 5000 is not before --to 5000"},
      {{"--json"}, "--json needs a value"},
      {{"--frames", "d"}, "unknown option --frames"},
      {{"--draw-all=1"}, "--draw-all takes no value"},
      {{"extra"}, "unexpected argument extra"},
      {{"--render", "vulkan"}, "--render: vulkan is not one of gl, software, auto"},
  };
  for (const auto& c : cases) {
    BenchOptions o;
    o.fps = 7;
    std::string error;
    EXPECT_FALSE(parse(c.args, o, &error)) << c.args[0];
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(o.fps, 7);  // untouched on failure
  }
  BenchOptions late;
  std::string error;
  ASSERT_TRUE(parse({"--from=329000", "--to=400000"}, late, &error)) << error;
  EXPECT_EQ(late.toMs, 330000);
  EXPECT_EQ(late.note, "--to 400000 is past the end of the demo: taking 330000");
}

TEST(BenchOptions, HelpAndVersionEndTheParse) {
  BenchOptions o;
  std::string error;
  ASSERT_TRUE(parse({"--fps", "12", "-h", "--bogus"}, o, &error));
  EXPECT_TRUE(o.help);
  BenchOptions version;
  ASSERT_TRUE(parse({"--version"}, version, &error));
  EXPECT_TRUE(version.version);
  BenchOptions plain;
  ASSERT_TRUE(parse({"--fps", "12"}, plain, &error));
  EXPECT_FALSE(plain.help);
}

TEST(BenchReport, PercentilesAndSummary) {
  std::vector<double> v = {5, 1, 4, 2, 3};
  EXPECT_DOUBLE_EQ(percentile(v, 50), 3);
  EXPECT_DOUBLE_EQ(percentile(v, 95), 5);
  std::vector<double> none;
  EXPECT_DOUBLE_EQ(percentile(none, 50), 0);

  BenchRange r;
  for (int i = 1; i <= 20; ++i) {
    BenchFrame f;
    f.frameMs = i;
    f.gridMs = 1;
    f.shaftsMs = 0.5;
    f.geometryMs = i <= 10 ? 0.0 : 0.4;
    f.intersects = 100 * i;
    r.frames.push_back(f);
  }
  const BenchSummary s = summarize(r);
  EXPECT_EQ(s.frames, 20u);
  EXPECT_DOUBLE_EQ(s.medianMs, 10);
  EXPECT_DOUBLE_EQ(s.p95Ms, 19);
  EXPECT_DOUBLE_EQ(s.shaftsMs, 0.5);
  EXPECT_DOUBLE_EQ(s.geometryMs, 0.2);
  EXPECT_DOUBLE_EQ(s.intersects, 1050);

  const std::string json = reportJson({r}, 30, 800, 600, 0, 1000, "software");
  EXPECT_NE(json.find("\"render_path\": \"software\""), std::string::npos);
  EXPECT_NE(json.find("\"median_ms\": 10.000"), std::string::npos);
  EXPECT_NE(json.find("\"geometry_ms\": 0.2000"), std::string::npos);
  EXPECT_NE(json.find("\"ranges\""), std::string::npos);
}

TEST(BenchTimeline, RowNamesAndStarts) {
  EXPECT_EQ(timelineRangeName(timelineRangeAt(0)), "sky flashes");
  EXPECT_EQ(timelineRangeStartMs(timelineRangeAt(100)), 0);
  EXPECT_EQ(timelineRangeStartMs(timelineRangeAt(20000)), 17500);
  EXPECT_EQ(timelineRangeAt(20000).endMs, 26500);
  EXPECT_EQ(timelineRangeName(timelineRangeAt(125000)), "lamp park 2");
}
