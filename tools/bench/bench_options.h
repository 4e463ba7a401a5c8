// Command line of lumivaara-bench.
#pragma once
#include <string>

#include "host/render_path.h"

struct BenchOptions {
  int fps = 30;
  int width = 800;
  int height = 600;
  int fromMs = 0;
  int toMs = 330000;
  std::string jsonFile;  // the report as JSON too, when set
  bool drawAll = false;  // draw the frames before --from too, not only advance them
  bool timings = false;  // print where start-up went, to the first frame
  bool renderGiven = false;  // --render: the path, over LUMIVAARA_RENDER
  RenderChoice render = RenderChoice::Auto;
  bool glGiven = false;  // --gl: the API, over LUMIVAARA_GL
  GlChoice gl = GlChoice::kAuto;
  bool help = false;     // -h or --help: print the usage and time nothing
  bool version = false;  // --version: print the version and time nothing
  std::string note;      // a line to print before timing (a --to past the end)
};

extern const char kBenchUsage[];

// Parses argv[1..]; false with *error set on anything it does not accept.
// A help or version flag ends the parse with its flag set.
bool parseBenchOptions(int argc, char** argv, BenchOptions& out, std::string* error);
