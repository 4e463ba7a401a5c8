// Command line of lumivaara-capture.
#pragma once
#include <string>

struct CaptureOptions {
  int fps = 60;
  int width = 800;
  int height = 600;
  int fromMs = 0;
  int toMs = 330000;
  std::string framesDir;  // PNGs named by demo time, when set
  std::string videoFile;  // encoded through ffmpeg, when set
  bool help = false;      // -h or --help: print the usage and render nothing
};

extern const char kCaptureUsage[];

// Parses argv[1..]; false with *error set on anything it does not accept.
// A help flag ends the parse with out.help set.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string* error);
