// lumivaara-bench: renders the timeline off-screen at a fixed frame rate and
// reports frame times per timeline row, with the time spent in the grid
// ray-caster, the light shafts and the scenes' CPU geometry, and the
// intersect calls per frame.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench_options.h"
#include "bench_report.h"
#include "bench_timeline.h"
#include "effects/shaft_stats.h"
#include "host/command_line.h"
#include "host/director.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "host/render_path.h"
#include "host/seek.h"
#include "host/startup_timings.h"
#include "output_checks.h"
#include "platform/tick_clock.h"
#include "progress.h"
#include "scenes/geometry_stats.h"

int main(int argc, char** argv) {
  StartupTimings startup;
  startTimings(startup);
  BenchOptions opt;
  std::string error;
  if (!parseBenchOptions(argc, argv, opt, &error))
    return refuseArguments("lumivaara-bench", error, kBenchUsage);
  if (opt.help) {
    std::fputs(kBenchUsage, stdout);
    return 0;
  }
  if (opt.version) {
    std::fputs(versionText("lumivaara-bench").c_str(), stdout);
    return 0;
  }
  if (!opt.note.empty()) std::fprintf(stderr, "lumivaara-bench: %s\n", opt.note.c_str());
  // Opened now, so an unwritable report is found before minutes of timing.
  std::FILE* json = nullptr;
  if (!opt.jsonFile.empty() && !(json = std::fopen(opt.jsonFile.c_str(), "w"))) {
    std::fprintf(stderr, "lumivaara-bench: --json %s: %s\n", opt.jsonFile.c_str(),
                 std::strerror(errno));
    return 2;
  }
  HeadlessContext ctx;
  markStep(startup, "options and output checks");
  auto demo = std::make_unique<Demo>();
  // The demo's statistics lines would break up the report on standard output.
  RayStats& rayStats = demo->rayStats;
  rayStats.printLines = false;
  const ShaftStats& shaftStats = demo->shaftStats;
  const GeometryStats& geometryStats = demo->geometryStats;
  demo->startup = startup;
  markStep(demo->startup, "the demo's memory");
  if (!startOfflineHost(ctx, *demo, opt.width, opt.height, &error,
                        RenderRequest{opt.renderGiven, opt.render, opt.glGiven, opt.gl})) {
    // The context reads the GL's size limits before it asks for the pbuffer.
    OutputRefusal refusal;
    if (!checkOutputSize(opt.width, opt.height, ctx, &refusal)) {
      std::fprintf(stderr, "lumivaara-bench: %s\n", refusal.error.c_str());
      return refusal.status;
    }
    std::fprintf(stderr, "lumivaara-bench: no off-screen OpenGL: %s\n", error.c_str());
    return 1;
  }

  // Every frame from time 0 is run so each scene runs from its real state;
  // those before the range but for the primer frames only advance it,
  // undrawn. Only the frames in [from, to) are timed.
  long long frameCount = 0, firstTimed = -1;
  while (frameTimeMs(frameCount, opt.fps) < opt.toMs) {
    if (firstTimed < 0 && frameTimeMs(frameCount, opt.fps) >= opt.fromMs) firstTimed = frameCount;
    ++frameCount;
  }
  if (firstTimed < 0) firstTimed = frameCount;
  const int64_t skipStarted = tickNanoseconds();
  const long long skipped = runUndrawnFrames(*demo, firstTimed, opt.fps, opt.drawAll);
  const double skipSeconds = double(tickNanoseconds() - skipStarted) * 1e-9;
  if (skipped > 0) markStep(demo->startup, "frames before --from");

  std::vector<BenchRange> ranges;
  const TimelineRange* current = nullptr;
  Progress progress;
  startProgress(progress, frameCount - skipped);
  for (long long i = skipped; i < frameCount; ++i) {
    const int t = frameTimeMs(i, opt.fps);
    const int64_t gridBefore = rayStats.gridNanoseconds;
    const int64_t shaftsBefore = shaftStats.drawNanoseconds;
    const int64_t softwareBefore = shaftStats.softwareNanoseconds;
    const int64_t uploadBefore = shaftStats.uploadNanoseconds;
    const int64_t geometryBefore = geometryStats.nanoseconds;
    // Intersect calls so far: the ray-caster folds each frame's count into
    // intersectCount and clears that every 51 frames, when it prints.
    const int64_t intersectsBefore = rayStats.intersectCount + rayStats.frameIntersects;
    const int32_t counterBefore = rayStats.frameCounter;
    const int64_t started = tickNanoseconds();
    renderFrame(*demo, t);
    finishDrawing(demo->gfx);
    const int64_t finished = tickNanoseconds();
    if (i == skipped && opt.timings) {
      markStep(demo->startup, "first frame");
      std::fprintf(stderr, "lumivaara-bench: start-up\n%s", formatTimings(demo->startup).c_str());
    }
    if (t >= opt.fromMs) {
      const TimelineRange& range = timelineRangeAt(demo->state.director.demoTimeMs);
      if (&range != current) {
        current = &range;
        BenchRange r;
        r.name = timelineRangeName(range);
        r.startMs = timelineRangeStartMs(range);
        r.endMs = range.endMs;
        ranges.push_back(r);
      }
      BenchFrame f;
      f.frameMs = double(finished - started) * 1e-6;
      f.gridMs = double(rayStats.gridNanoseconds - gridBefore) * 1e-6;
      f.shaftsMs = double(shaftStats.drawNanoseconds - shaftsBefore) * 1e-6;
      f.shaftsSoftwareMs = double(shaftStats.softwareNanoseconds - softwareBefore) * 1e-6;
      f.uploadMs = double(shaftStats.uploadNanoseconds - uploadBefore) * 1e-6;
      f.geometryMs = double(geometryStats.nanoseconds - geometryBefore) * 1e-6;
      const int64_t intersectsAfter = rayStats.intersectCount + rayStats.frameIntersects;
      f.intersects = rayStats.frameCounter < counterBefore ? intersectsAfter
                                                           : intersectsAfter - intersectsBefore;
      ranges.back().frames.push_back(f);
    }
    stepProgress(progress);
  }
  finishProgress(progress);
  if (skipped > 0)
    std::fprintf(stderr, "lumivaara-bench: %lld frames before %d ms advanced without drawing in %.2f s\n",
                 skipped, frameTimeMs(skipped, opt.fps), skipSeconds);

  const std::string path = renderPathName(demo->path);
  printReport(stdout, ranges, opt.fps, opt.width, opt.height, path);
  int rc = 0;
  if (json) {
    const std::string text =
        reportJson(ranges, opt.fps, opt.width, opt.height, opt.fromMs, opt.toMs, path,
                   demo->gfx.api == GlApi::kEs ? "es" : "desktop");
    const bool written = std::fwrite(text.data(), 1, text.size(), json) == text.size();
    if (std::fclose(json) != 0 || !written) {
      std::fprintf(stderr, "lumivaara-bench: cannot write %s: %s\n", opt.jsonFile.c_str(),
                   std::strerror(errno));
      rc = 1;
    }
  }
  destroyHeadlessContext(ctx);
  return rc;
}
