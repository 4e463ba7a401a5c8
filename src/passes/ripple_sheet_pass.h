// The ripple transition's sheet: the outgoing picture on a rippling sheet,
// the incoming one drawn over it where the sheet lies nearest.
#pragma once

#include <vector>

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct RippleSheet;
struct SoftwarePasses;

struct RippleSheetJob {
  const RippleSheet* sheet = nullptr;   // laid out for this frame
  FeedbackSlot outgoing{}, incoming{};  // the pictures (work textures unused) and their wrap
  bool ownPictures = false;  // both are pictures a feedback buffer made (the CPU can read them)
  // Room the cells are built in, reused from frame to frame.
  std::vector<Vertex>* vertices = nullptr;
  std::vector<SheetCorner>* corners = nullptr;
};

// Two passes over the sheet's cells in its perspective, both added to the
// frame: the outgoing picture by its alpha, then the incoming one only
// where the first pass drew.
void runRippleSheet(Gfx& gfx, SoftwarePasses* cpu, const RippleSheetJob& job);
