// Command line of lumivaara.
#pragma once
#include <string>

#include "host/render_path.h"

// How the picture reaches the display.
enum class DisplayStyle {
  Desktop,   // full screen on the desktop's own mode (the default)
  Windowed,  // a resizable window
  Mode,      // full screen after switching the display to an exact mode
};

struct DemoOptions {
  DisplayStyle style = DisplayStyle::Desktop;
  int windowWidth = 800;  // --size: the window's client size
  int windowHeight = 600;
  int modeWidth = 800;  // --mode
  int modeHeight = 600;
  int display = 0;  // monitor index, from 0
  int startMs = 0;  // --start: the demo time to begin at
  bool mute = false;
  bool loop = false;
  bool vsync = true;
  bool renderGiven = false;  // --render: the path, over LUMIVAARA_RENDER
  RenderChoice render = RenderChoice::Auto;
  bool glGiven = false;  // --gl: the API, over LUMIVAARA_GL
  GlChoice gl = GlChoice::kAuto;
  bool help = false;
  bool version = false;
};

extern const char kDemoUsage[];

// Parses argv[1..]; false with *error set to one line naming the problem.
// --help and --version end the parse with their flag set.
bool parseDemoOptions(int argc, char** argv, DemoOptions& out, std::string* error);
