// Soft, tapered curved strokes (fibres, blades of grass, scratches) painted
// into a picture that wraps around its edges.
#pragma once
#include "picture.h"

struct Stroke {
  float x = 0, y = 0;      // start, in pixels
  float angle = 0;         // initial direction, radians (y points down)
  float length = 10;       // pixels
  float bend = 0;          // total turn along the stroke, radians
  float width0 = 1;        // pixel width at the start
  float width1 = 1;        // and at the end
  Rgb colour0, colour1;    // colour at the start and at the end
  float opacity = 1;
};

void drawStroke(Picture& p, const Stroke& s);
