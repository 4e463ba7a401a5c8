// What a drawn frame needs of the program around it, handed down by the
// host so that scenes reach for no globals and include nothing of the host.
#pragma once

#include "effects/shaft_stats.h"
#include "scenes/geometry_stats.h"

struct FeedbackBuffer;
struct Gfx;
struct RayGrid;
struct RayStats;
struct SoftwarePasses;

struct FrameContext {
  Gfx* gfx = nullptr;                  // the drawing layer every draw goes through
  SoftwarePasses* software = nullptr;  // the software path's passes; null on the GL path
  FeedbackBuffer* feedback = nullptr;  // the band copies every scene shares
  ShaftStats* shaftStats = nullptr;    // running totals the benchmark reads
  GeometryStats* geometryStats = nullptr;
  RayGrid* rayGrid = nullptr;          // the grid's working memory, made once
  RayStats* rayStats = nullptr;        // the grid's counters for the statistics line
};
