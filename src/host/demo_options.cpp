#include "host/demo_options.h"

#include <cstring>

#include "host/option_values.h"

#ifndef LUMIVAARA_VERSION
#define LUMIVAARA_VERSION "0"
#endif

const char kDemoVersion[] = LUMIVAARA_VERSION;

const char kDemoUsage[] =
    "usage: lumivaara [--fullscreen | --windowed [--size WxH] | --mode WxH] [--display N]\n"
    "                 [--mute] [--loop] [--vsync | --no-vsync] [--render gl|software|auto]\n"
    "                 [--start MS]\n"
    "  --fullscreen       full screen on the desktop's own mode (the default)\n"
    "  --windowed         a resizable window, 800x600 unless --size says otherwise\n"
    "  --size WxH         the window's size\n"
    "  --mode WxH         full screen after switching the display to WxH\n"
    "  --display N        the monitor to use, counted from 0\n"
    "  --mute             no sound; the demo runs on the system clock\n"
    "  --loop             start again (at --start's moment) when the demo ends\n"
    "  --vsync            wait for the display before each frame (the default)\n"
    "  --no-vsync         draw frames as fast as possible\n"
    "  --render PATH      gl, software or auto (the default): how frames are drawn\n"
    "  --start MS         begin at this demo time in ms (0 to 329999), the music too\n"
    "  --help, --version  print this or the version and exit\n"
    "Keys: Escape ends the demo; F11 or Alt+Enter switch between full screen and window;\n"
    "      Left and Right jump 10 seconds back or forward.\n";

namespace {

// One pair of flags that exclude each other, remembered by the first seen.
struct Choice {
  const char* flag = nullptr;
  bool take(const char* f, std::string* error) {
    if (flag && std::strcmp(flag, f) != 0) {
      *error = std::string(flag) + " and " + f + " exclude each other";
      return false;
    }
    flag = f;
    return true;
  }
};

}  // namespace

bool parseDemoOptions(int argc, char** argv, DemoOptions& out, std::string* error) {
  Choice style, vsync;
  bool sizeGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    const char* value = nullptr;
    const size_t eq = flag.find('=');
    if (flag.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = argv[i] + eq + 1;
      flag.resize(eq);
    }
    const bool takesValue = flag == "--size" || flag == "--mode" || flag == "--display" ||
                            flag == "--render" || flag == "--start";
    if (takesValue && !value) {
      if (i + 1 >= argc) {
        *error = flag + " needs a value";
        return false;
      }
      value = argv[++i];
    } else if (!takesValue && value) {
      *error = flag + " takes no value";
      return false;
    }

    bool ok = true;
    if (flag == "-h" || flag == "--help") {
      out.help = true;
      return true;
    } else if (flag == "--version") {
      out.version = true;
      return true;
    } else if (flag == "--fullscreen") {
      if (!style.take("--fullscreen", error)) return false;
      out.style = DisplayStyle::Desktop;
    } else if (flag == "--windowed") {
      if (!style.take("--windowed", error)) return false;
      out.style = DisplayStyle::Windowed;
    } else if (flag == "--mode") {
      if (!style.take("--mode", error)) return false;
      out.style = DisplayStyle::Mode;
      ok = parseSizeValue(value, &out.modeWidth, &out.modeHeight);
    } else if (flag == "--size") {
      sizeGiven = true;
      ok = parseSizeValue(value, &out.windowWidth, &out.windowHeight);
    } else if (flag == "--display") {
      ok = parseIntValue(value, 0, 63, &out.display);
    } else if (flag == "--start") {
      ok = parseIntValue(value, 0, 329999, &out.startMs);
    } else if (flag == "--mute") {
      out.mute = true;
    } else if (flag == "--loop") {
      out.loop = true;
    } else if (flag == "--vsync" || flag == "--no-vsync") {
      if (!vsync.take(argv[i], error)) return false;
      out.vsync = flag == "--vsync";
    } else if (flag == "--render") {
      ok = parseRenderChoice(value, &out.render);
      out.renderGiven = ok;
    } else if (flag.rfind("-", 0) == 0) {
      *error = "unknown option " + flag;
      return false;
    } else {
      *error = "unexpected argument " + flag;
      return false;
    }
    if (!ok) {
      *error = "bad value for " + flag + ": " + value;
      return false;
    }
  }
  if (sizeGiven && out.style == DisplayStyle::Mode) {
    *error = "--size sets the window's size and --mode the screen's: give one";
    return false;
  }
  return true;
}
