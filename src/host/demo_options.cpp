#include "host/demo_options.h"

#include <vector>

#include "host/command_line.h"

const char kDemoUsage[] =
    "usage: lumivaara [--fullscreen | --windowed [--size WxH] | --mode WxH] [--display N]\n"
    "                 [--mute] [--loop] [--vsync | --no-vsync] [--render gl|software|auto]\n"
    "                 [--gl desktop|es|auto] [--start MS]\n"
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
    "  --gl API           desktop, es (OpenGL ES 3) or auto (default: LUMIVAARA_GL, else\n"
    "                     auto: desktop GL where the driver has it)\n"
    "  --start MS         begin at this demo time in ms (0 to 329999), the music too\n"
    "  --help, --version  print this or the version and exit\n"

    "Keys: Escape ends the demo; F11 or Alt+Enter switch between full screen and window;\n"
    "      Left and Right jump 10 seconds back or forward.\n";

namespace {

// One pair of flags that exclude each other, remembered by the first seen.
struct Choice {
  std::string flag;
  bool take(const std::string& f, std::string* error) {
    if (!flag.empty() && flag != f) {
      *error = flag + " and " + f + " exclude each other";
      return false;
    }
    flag = f;
    return true;
  }
};

const std::vector<OptionSpec> kDemoOptions = {
    {"--fullscreen", false}, {"--windowed", false}, {"--mode", true},   {"--size", true},
    {"--display", true},     {"--start", true},     {"--mute", false},  {"--loop", false},
    {"--vsync", false},      {"--no-vsync", false}, {"--render", true}, {"--gl", true},
};

}  // namespace

bool parseDemoOptions(int argc, char** argv, DemoOptions& out, std::string* error) {
  std::vector<GivenOption> given;
  if (!splitCommandLine(argc, argv, kDemoOptions, &given, error)) return false;
  Choice style, vsync;
  bool sizeGiven = false;
  for (const GivenOption& o : given) {
    const std::string& flag = o.name;
    bool ok = true;
    if (flag == "--help") {
      out.help = true;
    } else if (flag == "--version") {
      out.version = true;
    } else if (flag == "--fullscreen") {
      ok = style.take(flag, error);
      out.style = DisplayStyle::Desktop;
    } else if (flag == "--windowed") {
      ok = style.take(flag, error);
      out.style = DisplayStyle::Windowed;
    } else if (flag == "--mode") {
      ok = style.take(flag, error) &&
           readSize(o, 1, 1, &out.modeWidth, &out.modeHeight, error);
      out.style = DisplayStyle::Mode;
    } else if (flag == "--size") {
      sizeGiven = true;
      ok = readSize(o, 1, 1, &out.windowWidth, &out.windowHeight, error);
    } else if (flag == "--display") {
      ok = readInt(o, 0, 63, &out.display, error);
    } else if (flag == "--start") {
      ok = readStartTime(o, &out.startMs, error);
    } else if (flag == "--mute") {
      out.mute = true;
    } else if (flag == "--loop") {
      out.loop = true;
    } else if (flag == "--vsync" || flag == "--no-vsync") {
      ok = vsync.take(flag, error);
      out.vsync = flag == "--vsync";
    } else if (flag == "--render") {
      ok = out.renderGiven = readRenderChoice(o, &out.render, error);
    } else if (flag == "--gl") {
      ok = out.glGiven = readGlChoice(o, &out.gl, error);
    }
    if (!ok) return false;
  }
  if (sizeGiven && out.style == DisplayStyle::Mode) {
    *error = "--size sets the window's size and --mode the screen's: give one";
    return false;
  }
  return true;
}
