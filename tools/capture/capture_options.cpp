#include "capture_options.h"

#include <cstring>
#include <vector>

#include "host/command_line.h"
#include "host/offline_host.h"

const char kDefaultPreset[] = "veryfast";

const char kCaptureUsage[] =
    "usage: lumivaara-capture [--fps N] [--size WxH] [--from MS] [--to MS] [--frames DIR]\n"
    "                         [--video FILE [--crf N] [--preset NAME] | [--lossless]]\n"
    "                         [--render gl|software|auto] [--gl desktop|es|auto]\n"
    "                         [--draw-all] [--quiet] [--timings]\n"
    "  Renders the demo off-screen with a frame clock. Frames whose demo time lies\n"
    "  in [from, to) are written as DIR/NNNNNN.png and/or encoded into FILE by ffmpeg\n"
    "  (with the music of that range; the format follows the file name). The frames\n"
    "  before --from only advance the scenes, undrawn (in the fractal's row the last\n"
    "  one is drawn): the first written frame is that of a run drawn from 0.\n"
    "  --fps N         frames per second, 1 to 1000 (default 60)\n"
    "  --size WxH      output size (default 800x600, at most 64 megapixels); wider\n"
    "                  than 4:3 adds black columns\n"
    "  --from MS       first demo time written, 0 to 329999 (default 0)\n"
    "  --to MS         end of the range (default 330000, the end; later is taken as it)\n"
    "  --frames DIR    write PNG frames into DIR, made if missing\n"
    "  --video FILE    encode a video; .gif, .png and .webp get the picture only\n"
    "  --crf N         H.264 quality, 0 to 51, lower is sharper (default 18)\n"
    "  --preset NAME   x264 preset, ultrafast to placebo (default veryfast)\n"
    "  --lossless      FFV1 video and FLAC sound in a .mkv file, an archive master\n"
    "  --render PATH   gl, software or auto (default: LUMIVAARA_RENDER, else auto)\n"
    "  --gl API        desktop, es (OpenGL ES 3) or auto (default: LUMIVAARA_GL, else auto)\n"
    "  --draw-all      draw every frame before --from too (slow; to check a seek)\n"
    "  --quiet         no progress bar\n"
    "  --timings       print the start-up's steps and their times, to the first frame\n"
    "  --help, --version  print this or the version and exit\n"
    "  At least one of --frames and --video. Exit status: 0 when everything was\n"
    "  written, 1 when rendering or writing failed, 2 for a bad argument or output.\n";

static const std::vector<const char*> kPresets = {
    "ultrafast", "superfast", "veryfast", "faster", "fast",
    "medium",    "slow",      "slower",   "veryslow", "placebo"};

static const std::vector<OptionSpec> kCaptureOptions = {
    {"--fps", true},      {"--size", true},   {"--from", true},     {"--to", true},
    {"--frames", true},   {"--video", true},  {"--crf", true},      {"--preset", true},
    {"--lossless", false}, {"--quiet", false}, {"--draw-all", false}, {"--render", true},
    {"--gl", true},       {"--timings", false},
};

bool fileNameEndsWith(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = s[s.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

bool h264Container(const std::string& file) {
  return fileNameEndsWith(file, ".mp4") || fileNameEndsWith(file, ".m4v") ||
         fileNameEndsWith(file, ".mov") || fileNameEndsWith(file, ".mkv");
}

// The flags' combinations, checked once every flag is read.
static bool checkVideoFlags(const CaptureOptions& o, bool qualityGiven, std::string* error) {
  if ((qualityGiven || o.lossless) && o.videoFile.empty()) {
    *error = o.lossless ? "--lossless needs --video FILE.mkv" : "--crf and --preset need --video FILE";
    return false;
  }
  if (o.lossless && qualityGiven) {
    *error = "--lossless takes no --crf or --preset";
    return false;
  }
  if (o.lossless && !fileNameEndsWith(o.videoFile, ".mkv")) {
    *error = "--lossless writes Matroska: name the video FILE.mkv";
    return false;
  }
  if (qualityGiven && !h264Container(o.videoFile)) {
    *error = "--crf and --preset set H.264: name the video .mp4, .m4v, .mov or .mkv";
    return false;
  }
  return true;
}

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string* error) {
  std::vector<GivenOption> given;
  if (!splitCommandLine(argc, argv, kCaptureOptions, &given, error)) return false;
  bool qualityGiven = false;
  for (const GivenOption& o : given) {
    const std::string& flag = o.name;
    bool ok = true;
    if (flag == "--help") out.help = true;
    else if (flag == "--version") out.version = true;
    else if (flag == "--lossless") out.lossless = true;
    else if (flag == "--quiet") out.quiet = true;
    else if (flag == "--draw-all") out.drawAll = true;
    else if (flag == "--timings") out.timings = true;
    else if (flag == "--fps") ok = readInt(o, 1, 1000, &out.fps, error);
    else if (flag == "--size") ok = readSize(o, 1, 1, &out.width, &out.height, error) &&
                                     checkOutputBudget("--size", out.width, out.height, error);
    else if (flag == "--from") ok = readStartTime(o, &out.fromMs, error);
    else if (flag == "--to") ok = readEndTime(o, &out.toMs, &out.note, error);
    else if (flag == "--frames") out.framesDir = o.value;
    else if (flag == "--video") out.videoFile = o.value;
    else if (flag == "--crf") ok = readInt(o, 0, 51, &out.crf, error), qualityGiven = true;
    else if (flag == "--preset") ok = readWord(o, kPresets, error), out.preset = o.value,
                                 qualityGiven = true;
    else if (flag == "--render") ok = out.renderGiven = readRenderChoice(o, &out.render, error);
    else if (flag == "--gl") ok = out.glGiven = readGlChoice(o, &out.gl, error);
    if (!ok) return false;
  }
  if (out.help || out.version) return true;
  if (out.fromMs >= out.toMs) {
    *error = "--from " + std::to_string(out.fromMs) + " is not before --to " +
             std::to_string(out.toMs);
    return false;
  }
  // The first frame at or after --from, which must still lie before --to.
  const long long first = (static_cast<long long>(out.fromMs) * out.fps + 999) / 1000;
  if (frameTimeMs(first, out.fps) >= out.toMs) {
    *error = "no frame at " + std::to_string(out.fps) + " fps lies in " +
             std::to_string(out.fromMs) + ".." + std::to_string(out.toMs) + " ms";
    return false;
  }
  if (!checkVideoFlags(out, qualityGiven, error)) return false;
  if (out.framesDir.empty() && out.videoFile.empty()) {
    *error = "nothing to write: give --frames DIR, --video FILE or both";
    return false;
  }
  return true;
}
