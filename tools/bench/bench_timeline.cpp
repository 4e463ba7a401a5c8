#include "bench_timeline.h"

std::string timelineRangeName(const TimelineRange& range) {
  const char* name = "?";
  bool numbered = false;
  switch (range.action) {
    case TimelineAction::SkyFlashes: name = "sky flashes"; break;
    case TimelineAction::FirstTransition: name = "transition 1"; break;
    case TimelineAction::Landscape: name = "landscape"; break;
    case TimelineAction::SecondTransition: name = "transition 2"; break;
    case TimelineAction::RingedPlanet: name = "ringed planet"; break;
    case TimelineAction::LanternCorridor: name = "lantern corridor"; break;
    case TimelineAction::LampPark: name = "lamp park"; numbered = true; break;
    case TimelineAction::MirrorHall: name = "mirror hall"; break;
    case TimelineAction::TriangleFractal: name = "triangle fractal"; break;
    case TimelineAction::Spikes: name = "spikes"; break;
    case TimelineAction::Scroller: name = "scroller"; break;
    case TimelineAction::Tunnel: name = "tunnel"; numbered = true; break;
    case TimelineAction::Quit: name = "end"; break;
  }
  std::string out = name;
  if (numbered) out += " " + std::to_string(range.variant);
  return out;
}

int timelineRangeStartMs(const TimelineRange& range) {
  // Rows are contiguous and ordered: bisect for the first time in this row.
  int lo = 0, hi = range.endMs;
  if (&timelineRangeAt(lo) == &range) return 0;
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    if (&timelineRangeAt(mid) == &range)
      hi = mid;
    else
      lo = mid;
  }
  return hi;
}
