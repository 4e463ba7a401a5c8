// Per-range frame statistics of lumivaara-bench and their text and JSON forms.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Measurements of one frame.
struct BenchFrame {
  double frameMs = 0;   // renderFrame plus glFinish
  double gridMs = 0;    // inside renderRayGrid
  double shaftsMs = 0;  // inside drawShafts
  double shaftsSoftwareMs = 0;  // of which the integer image work
  double uploadMs = 0;          // of which the texture uploads
  double geometryMs = 0;        // the scenes' CPU geometry (fractal leaves, spike deformation)
  int64_t intersects = 0;
};

// The frames that fell in one row of the timeline.
struct BenchRange {
  std::string name;
  int startMs = 0;  // the row's bounds
  int endMs = 0;
  std::vector<BenchFrame> frames;
};

struct BenchSummary {
  size_t frames = 0;
  double medianMs = 0;
  double p95Ms = 0;
  double gridMs = 0;    // means per frame
  double shaftsMs = 0;
  double shaftsSoftwareMs = 0;
  double uploadMs = 0;
  double geometryMs = 0;
  double intersects = 0;
};

// Nearest-rank percentile (0 < p <= 100) of values; 0 when empty. Sorts.
double percentile(std::vector<double>& values, double p);

BenchSummary summarize(const BenchRange& range);

// Text table and JSON document of the ranges in order, plus an overall row;
// renderPath names the path that drew the frames ("gl" or "software"), glApi
// the API it drew with ("desktop" or "es").
void printReport(std::FILE* out, const std::vector<BenchRange>& ranges, int fps, int width,
                 int height, const std::string& renderPath);
std::string reportJson(const std::vector<BenchRange>& ranges, int fps, int width, int height,
                       int fromMs, int toMs, const std::string& renderPath,
                       const std::string& glApi = "desktop");
