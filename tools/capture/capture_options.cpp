#include "capture_options.h"

#include <cstring>

#include "host/offline_host.h"
#include "host/option_values.h"

const char kDefaultPreset[] = "veryfast";

const char kCaptureUsage[] =
    "usage: lumivaara-capture [--fps N] [--size WxH] [--from MS] [--to MS] [--frames DIR]\n"
    "                         [--video FILE [--crf N] [--preset NAME] | [--lossless]]\n"
    "                         [--render gl|software|auto] [--draw-all] [--quiet]\n"
    "  Renders the demo off-screen with a frame clock. Frames whose demo time lies\n"
    "  in [from, to) are written as DIR/NNNNNN.png and/or encoded into FILE by ffmpeg\n"
    "  (with the music of that range; the format follows the file name). The frames\n"
    "  before --from only advance the scenes, undrawn, but for the last two, which\n"
    "  are drawn: the first written frame is that of a run drawn from 0.\n"
    "  --fps N         frames per second (default 60)\n"
    "  --size WxH      output size (default 800x600); wider than 4:3 adds black columns\n"
    "  --from, --to    the range in ms of demo time (default 0 to 330000)\n"
    "  --crf N         H.264 quality, 0 to 51, lower is sharper (default 18)\n"
    "  --preset NAME   x264 preset, ultrafast to placebo (default veryfast)\n"
    "  --lossless      FFV1 video and FLAC sound in a .mkv file, an archive master\n"
    "  --render PATH   gl, software or auto (default: LUMIVAARA_RENDER, else auto)\n"
    "  --draw-all      draw every frame before --from too (slow; to check a seek)\n"
    "  --quiet         no progress bar\n";

static const char* const kPresets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                       "medium",    "slow",      "slower",   "veryslow", "placebo"};

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

static bool knownPreset(const char* name) {
  for (const char* p : kPresets)
    if (std::strcmp(p, name) == 0) return true;
  return false;
}

// The flags' combinations, checked once every flag is read.
static bool checkVideoFlags(const CaptureOptions& o, bool qualityGiven, std::string* error) {
  if ((qualityGiven || o.lossless) && o.videoFile.empty()) {
    *error = std::string(o.lossless ? "--lossless" : "--crf and --preset") + " need --video";
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
  bool qualityGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "-h" || flag == "--help") {
      out.help = true;
      return true;
    }
    if (flag == "--lossless") {
      out.lossless = true;
      continue;
    }
    if (flag == "--quiet") {
      out.quiet = true;
      continue;
    }
    if (flag == "--draw-all") {
      out.drawAll = true;
      continue;
    }
    if (i + 1 >= argc) {
      *error = flag.rfind("--", 0) == 0 ? flag + " needs a value" : "unexpected argument " + flag;
      return false;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (flag == "--fps") ok = parseIntValue(value, 1, 1000, &out.fps);
    else if (flag == "--size") ok = parseSizeValue(value, &out.width, &out.height);
    else if (flag == "--from") ok = parseIntValue(value, 0, 0x7fffffff, &out.fromMs);
    else if (flag == "--to") ok = parseIntValue(value, 0, 0x7fffffff, &out.toMs);
    else if (flag == "--frames") ok = *value != 0, out.framesDir = value;
    else if (flag == "--video") ok = *value != 0, out.videoFile = value;
    else if (flag == "--crf") ok = parseIntValue(value, 0, 51, &out.crf), qualityGiven = true;
    else if (flag == "--preset") ok = knownPreset(value), out.preset = value, qualityGiven = true;
    else if (flag == "--render") ok = out.renderGiven = parseRenderChoice(value, &out.render);
    else {
      *error = "unknown option " + flag;
      return false;
    }
    if (!ok) {
      *error = "bad value for " + flag + ": " + value;
      return false;
    }
  }
  if (out.fromMs >= out.toMs) {
    *error = "--from must be below --to";
    return false;
  }
  // The first frame at or after --from, which must still lie before --to.
  const long long first = (static_cast<long long>(out.fromMs) * out.fps + 999) / 1000;
  if (frameTimeMs(first, out.fps) >= out.toMs) {
    *error = "no frame at " + std::to_string(out.fps) + " fps lies in the range";
    return false;
  }
  return checkVideoFlags(out, qualityGiven, error);
}
