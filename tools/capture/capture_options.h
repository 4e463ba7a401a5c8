// Command line of lumivaara-capture.
#pragma once
#include <string>

#include "host/render_path.h"

// H.264 settings for a sharp upload that still encodes alongside the
// rendering on two cores (measurements in the README).
constexpr int kDefaultCrf = 18;
extern const char kDefaultPreset[];

struct CaptureOptions {
  int fps = 60;
  int width = 800;
  int height = 600;
  int fromMs = 0;
  int toMs = 330000;
  std::string framesDir;  // PNGs named by demo time, when set
  std::string videoFile;  // encoded through ffmpeg, when set
  int crf = kDefaultCrf;
  std::string preset = kDefaultPreset;
  bool lossless = false;  // FFV1 and FLAC in Matroska instead of H.264
  bool quiet = false;     // no progress bar
  bool drawAll = false;   // draw the frames before --from too, not only advance them
  bool timings = false;   // print where start-up went, to the first frame
  bool renderGiven = false;  // --render: the path, over LUMIVAARA_RENDER
  RenderChoice render = RenderChoice::Auto;
  bool glGiven = false;  // --gl: the API, over LUMIVAARA_GL
  GlChoice gl = GlChoice::kAuto;
  bool help = false;      // -h or --help: print the usage and render nothing
  bool version = false;   // --version: print the version and render nothing
  std::string note;       // a line to print before rendering (a --to past the end)
};

extern const char kCaptureUsage[];

// Parses argv[1..]; false with *error set on anything it does not accept.
// A help or version flag ends the parse with its flag set.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string* error);

// The file name ends with `tail` (lower case), whatever the case of the name.
bool fileNameEndsWith(const std::string& file, const char* tail);

// True for file names whose container carries H.264 (.mp4, .m4v, .mov, .mkv).
bool h264Container(const std::string& file);
