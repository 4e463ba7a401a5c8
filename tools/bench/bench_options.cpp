#include "bench_options.h"

#include "host/option_values.h"

const char kBenchUsage[] =
    "usage: lumivaara-bench [--fps N] [--size WxH] [--from MS] [--to MS] [--json FILE]\n"
    "                       [--render gl|software|auto] [--draw-all]\n"
    "  Renders the timeline off-screen and times the frames in [from, to); those\n"
    "  before --from only advance the scenes, undrawn, but for the last two.\n"
    "  --fps N      frames per second of demo time (default 30)\n"
    "  --size WxH   output size (default 800x600)\n"
    "  --from MS    first timed demo time in ms (default 0)\n"
    "  --to MS      end of the timed range in ms (default 330000)\n"
    "  --json FILE  also write the report as JSON\n"
    "  --render P   render path: gl, software or auto (default: LUMIVAARA_RENDER, else\n"
    "               auto, which takes software on a software rasteriser)\n"
    "  --draw-all   draw every frame before --from too, untimed\n";

bool parseBenchOptions(int argc, char** argv, BenchOptions& out, std::string* error) {
  BenchOptions opt;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok;
    if (arg == "-h" || arg == "--help") {
      out = BenchOptions();
      out.help = true;
      return true;
    } else if (arg == "--draw-all") {
      opt.drawAll = true;
      continue;
    } else if (arg == "--fps") {
      ok = parseIntValue(value, 1, 1000, &opt.fps);
    } else if (arg == "--size") {
      ok = value && parseSizeValue(value, &opt.width, &opt.height);
    } else if (arg == "--from") {
      ok = parseIntValue(value, 0, 330000, &opt.fromMs);
    } else if (arg == "--to") {
      ok = parseIntValue(value, 0, 330000, &opt.toMs);
    } else if (arg == "--render") {
      ok = parseRenderChoice(value, &opt.render);
      opt.renderGiven = ok;
    } else if (arg == "--json") {
      ok = value && *value;
      if (ok) opt.jsonFile = value;
    } else {
      *error = "unknown argument '" + arg + "'";
      return false;
    }
    if (!ok) {
      *error = value ? "bad value '" + std::string(value) + "' for " + arg : arg + " needs a value";
      return false;
    }
    ++i;
  }
  if (opt.toMs <= opt.fromMs) {
    *error = "--to must be later than --from";
    return false;
  }
  // The scene region is 512 x 384 whatever the output size.
  if (opt.width < 512 || opt.height < 384) {
    *error = "--size must be at least 512x384";
    return false;
  }
  out = opt;
  return true;
}
