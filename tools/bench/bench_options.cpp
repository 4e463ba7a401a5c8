#include "bench_options.h"

#include <vector>

#include "host/command_line.h"

const char kBenchUsage[] =
    "usage: lumivaara-bench [--fps N] [--size WxH] [--from MS] [--to MS] [--json FILE]\n"
    "                       [--render gl|software|auto] [--gl desktop|es|auto] [--draw-all]\n"
    "                       [--timings]\n"
    "  Renders the timeline off-screen and times the frames in [from, to); those\n"
    "  before --from only advance the scenes, undrawn (in the fractal's row the last\n"
    "  one is drawn).\n"
    "  --fps N      frames per second of demo time, 1 to 1000 (default 30)\n"
    "  --size WxH   output size, from 512x384 to 64 megapixels (default 800x600)\n"
    "  --from MS    first timed demo time in ms, 0 to 329999 (default 0)\n"
    "  --to MS      end of the timed range in ms (default 330000, the end; later is\n"
    "               taken as it)\n"
    "  --json FILE  also write the report as JSON\n"
    "  --render P   render path: gl, software or auto (default: LUMIVAARA_RENDER, else\n"
    "               auto, which takes software on a software rasteriser)\n"
    "  --gl API     desktop, es (OpenGL ES 3) or auto (default: LUMIVAARA_GL, else auto:\n"
    "               desktop GL where the driver has it)\n"
    "  --draw-all   draw every frame before --from too, untimed\n"
    "  --timings    print the start-up's steps and their times, to the first frame\n"
    "  --help, --version  print this or the version and exit\n"
    "  Exit status: 0 when timed, 1 when rendering or the report failed, 2 for a\n"
    "  bad argument or output.\n";

static const std::vector<OptionSpec> kBenchOptions = {
    {"--fps", true}, {"--size", true},   {"--from", true},      {"--to", true},
    {"--json", true}, {"--render", true}, {"--gl", true}, {"--draw-all", false}, {"--timings", false},
};

bool parseBenchOptions(int argc, char** argv, BenchOptions& out, std::string* error) {
  std::vector<GivenOption> given;
  if (!splitCommandLine(argc, argv, kBenchOptions, &given, error)) return false;
  BenchOptions opt;
  for (const GivenOption& o : given) {
    const std::string& flag = o.name;
    bool ok = true;
    if (flag == "--help") opt.help = true;
    else if (flag == "--version") opt.version = true;
    else if (flag == "--draw-all") opt.drawAll = true;
    else if (flag == "--timings") opt.timings = true;
    else if (flag == "--fps") ok = readInt(o, 1, 1000, &opt.fps, error);
    // The scene region is 512 x 384 whatever the output size.
    else if (flag == "--size") ok = readSize(o, 512, 384, &opt.width, &opt.height, error) &&
                                     checkOutputBudget("--size", opt.width, opt.height, error);
    else if (flag == "--from") ok = readStartTime(o, &opt.fromMs, error);
    else if (flag == "--to") ok = readEndTime(o, &opt.toMs, &opt.note, error);
    else if (flag == "--render") ok = opt.renderGiven = readRenderChoice(o, &opt.render, error);
    else if (flag == "--gl") ok = opt.glGiven = readGlChoice(o, &opt.gl, error);
    else if (flag == "--json") opt.jsonFile = o.value;
    if (!ok) return false;
  }
  if (!opt.help && !opt.version && opt.toMs <= opt.fromMs) {
    *error = "--from " + std::to_string(opt.fromMs) + " is not before --to " +
             std::to_string(opt.toMs);
    return false;
  }
  out = opt;
  return true;
}
