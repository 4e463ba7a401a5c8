#include "capture_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char kCaptureUsage[] =
    "usage: lumivaara-capture [--fps N] [--size WxH] [--from MS] [--to MS] "
    "[--frames DIR] [--video FILE]\n"
    "  Renders the demo off-screen with a frame clock. Frames whose demo time lies\n"
    "  in [from, to) are written as DIR/NNNNNN.png and/or encoded into FILE by ffmpeg\n"
    "  (with the music of that range). Defaults: 60 fps, 800x600, 0 to 330000 ms.\n";

static bool parseInt(const char* text, long lo, long hi, int* out) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (errno || end == text || *end || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

static bool parseSize(const char* text, int* w, int* h) {
  const char* x = std::strchr(text, 'x');
  if (!x) return false;
  std::string left(text, x);
  return parseInt(left.c_str(), 1, 16384, w) && parseInt(x + 1, 1, 16384, h);
}

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "-h" || flag == "--help") {
      out.help = true;
      return true;
    }
    if (i + 1 >= argc) {
      *error = flag.rfind("--", 0) == 0 ? flag + " needs a value" : "unexpected argument " + flag;
      return false;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (flag == "--fps") ok = parseInt(value, 1, 1000, &out.fps);
    else if (flag == "--size") ok = parseSize(value, &out.width, &out.height);
    else if (flag == "--from") ok = parseInt(value, 0, 0x7fffffff, &out.fromMs);
    else if (flag == "--to") ok = parseInt(value, 0, 0x7fffffff, &out.toMs);
    else if (flag == "--frames") ok = *value != 0, out.framesDir = value;
    else if (flag == "--video") ok = *value != 0, out.videoFile = value;
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
  return true;
}
