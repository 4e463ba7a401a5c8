#include "bench_report.h"

#include <algorithm>
#include <cmath>

double percentile(std::vector<double>& values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
  if (rank < 1) rank = 1;
  if (rank > values.size()) rank = values.size();
  return values[rank - 1];
}

static BenchSummary summarizeFrames(const std::vector<const BenchFrame*>& frames) {
  BenchSummary s;
  s.frames = frames.size();
  if (frames.empty()) return s;
  std::vector<double> times;
  times.reserve(frames.size());
  for (const BenchFrame* f : frames) {
    times.push_back(f->frameMs);
    s.gridMs += f->gridMs;
    s.shaftsMs += f->shaftsMs;
    s.shaftsSoftwareMs += f->shaftsSoftwareMs;
    s.uploadMs += f->uploadMs;
    s.geometryMs += f->geometryMs;
    s.intersects += double(f->intersects);
  }
  const double n = double(frames.size());
  s.gridMs /= n;
  s.shaftsMs /= n;
  s.shaftsSoftwareMs /= n;
  s.uploadMs /= n;
  s.geometryMs /= n;
  s.intersects /= n;
  s.medianMs = percentile(times, 50);
  s.p95Ms = percentile(times, 95);
  return s;
}

BenchSummary summarize(const BenchRange& range) {
  std::vector<const BenchFrame*> frames;
  for (const BenchFrame& f : range.frames) frames.push_back(&f);
  return summarizeFrames(frames);
}

static BenchSummary summarizeAll(const std::vector<BenchRange>& ranges) {
  std::vector<const BenchFrame*> frames;
  for (const BenchRange& r : ranges)
    for (const BenchFrame& f : r.frames) frames.push_back(&f);
  return summarizeFrames(frames);
}

void printReport(std::FILE* out, const std::vector<BenchRange>& ranges, int fps, int width,
                 int height, const std::string& renderPath) {
  std::fprintf(out, "lumivaara-bench: %dx%d at %d fps, render path %s; times in ms per frame\n",
               width, height, fps, renderPath.c_str());
  std::fprintf(out, "%-18s %13s %7s %8s %8s %8s %8s %8s %8s %8s %11s\n", "range", "demo ms",
               "frames", "median", "p95", "grid", "shafts", "(sw)", "(upload)", "geometry",
               "intersects");
  auto row = [&](const char* name, const std::string& span, const BenchSummary& s) {
    std::fprintf(out, "%-18s %13s %7zu %8.2f %8.2f %8.3f %8.3f %8.3f %8.3f %8.3f %11.0f\n", name,
                 span.c_str(), s.frames, s.medianMs, s.p95Ms, s.gridMs, s.shaftsMs,
                 s.shaftsSoftwareMs, s.uploadMs, s.geometryMs, s.intersects);
  };
  for (const BenchRange& r : ranges)
    row(r.name.c_str(), std::to_string(r.startMs) + "-" + std::to_string(r.endMs), summarize(r));
  if (ranges.size() > 1) row("all", "", summarizeAll(ranges));
  std::fprintf(out,
               "grid, shafts: mean ms per frame inside renderRayGrid and drawShafts; (sw) is the\n"
               "shafts' integer image work, (upload) their texture uploads, which also wait for\n"
               "GL work queued before them; geometry is the scenes' CPU geometry per frame\n"
               "(the fractal's leaves, the spikes' deformation)\n");
}

static std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

static std::string summaryJson(const BenchSummary& s) {
  char buf[320];
  std::snprintf(buf, sizeof buf,
                "\"frames\": %zu, \"median_ms\": %.3f, \"p95_ms\": %.3f, \"grid_ms\": %.4f, "
                "\"shafts_ms\": %.4f, \"shafts_software_ms\": %.4f, \"shafts_upload_ms\": %.4f, "
                "\"geometry_ms\": %.4f, \"intersects_per_frame\": %.1f",
                s.frames, s.medianMs, s.p95Ms, s.gridMs, s.shaftsMs, s.shaftsSoftwareMs,
                s.uploadMs, s.geometryMs, s.intersects);
  return buf;
}

std::string reportJson(const std::vector<BenchRange>& ranges, int fps, int width, int height,
                       int fromMs, int toMs, const std::string& renderPath,
                       const std::string& glApi) {
  std::string out = "{\n";
  out += "  \"render_path\": " + jsonString(renderPath) + ",\n";
  out += "  \"gl_api\": " + jsonString(glApi) + ",\n";
  out += "  \"fps\": " + std::to_string(fps) + ",\n";
  out += "  \"width\": " + std::to_string(width) + ",\n";
  out += "  \"height\": " + std::to_string(height) + ",\n";
  out += "  \"from_ms\": " + std::to_string(fromMs) + ",\n";
  out += "  \"to_ms\": " + std::to_string(toMs) + ",\n";
  out += "  \"ranges\": [\n";
  for (size_t i = 0; i < ranges.size(); ++i) {
    const BenchRange& r = ranges[i];
    out += "    {\"name\": " + jsonString(r.name) + ", \"start_ms\": " + std::to_string(r.startMs) +
           ", \"end_ms\": " + std::to_string(r.endMs) + ", " + summaryJson(summarize(r)) + "}";
    out += i + 1 < ranges.size() ? ",\n" : "\n";
  }
  out += "  ],\n";
  out += "  \"all\": {" + summaryJson(summarizeAll(ranges)) + "}\n";
  out += "}\n";
  return out;
}
