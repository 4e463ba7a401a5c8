// The rippling sheet transition of FeedbackBuffer.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/feedback_buffer.h"
#include "gfx/scene_region.h"
#include "passes/ripple_sheet_pass.h"

namespace {

constexpr int kSheetPoints = RippleSheet::kPoints;

bool onRim(int i, int j) { return i == 0 || j == 0 || i == kSheetPoints || j == kSheetPoints; }

// Accumulated steps, as the sheet was laid out.
void layOutSheet(RippleSheet& sheet) {
  float x = -0.5f, y = -0.25f, u = 0.0f, v = 0.0f;
  for (int k = 0; k <= kSheetPoints; ++k) {
    sheet.x[k] = x;
    sheet.y[k] = y;
    sheet.u[k] = u;
    sheet.v[k] = v;
    x += 0.02f;
    y += 0.01f;
    u += 0.02f;
    v += 0.02f;
  }
}

// Grid point (i, j)'s distance from the centre, 1 at the band's corners.
float radiusAt(const RippleSheet& sheet, int i, int j) {
  const float px = sheet.x[i], py = sheet.y[j];
  return std::sqrt(px * px + 4.0f * py * py) / std::sqrt(0.5f);
}

float coverAt(float r, float radiusFactor, float radiusScale) {
  return radiusFactor * radiusScale > r
             ? std::min(radiusScale * 0.5f * radiusFactor * 2.2f - r, 1.0f)
             : 0.0f;
}

void fillSheet(RippleSheet& sheet, float frequency, float amplitude, float phase, float radiusFactor,
               float radiusScale) {
  layOutSheet(sheet);
  for (int j = 0; j < kSheetPoints; ++j) {
    for (int i = 0; i < kSheetPoints; ++i) {
      const float r = radiusAt(sheet, i, j);
      sheet.cover[j][i] = coverAt(r, radiusFactor, radiusScale);
      const float fall = std::max(1.0f - r - 0.3f, 0.0f);
      const float w1 = (std::sin(8.0f * frequency * r * r + phase) + 1.0f) * 0.05f;
      const float w2 = (std::sin(16.0f * frequency * (w1 + r) / 2.0f + phase) + 1.0f) * 0.05f;
      sheet.height[j][i] =
          (std::sin(32.0f * frequency * std::pow(w2 + r, 0.25f) + phase) + 1.0f) * 0.5f *
              (w2 + 0.5f) * fall * amplitude * 2.0f +
          1.0f;
    }
  }
}

// Corner c (0..3) of cell (i, j): its grid indices and alpha in one pass.
// The rim stays at distance 1 so the sheet's edge always meets the band's
// edge; rim corners borrow an alpha from inside the cell, since the grid
// has no values of its own at index 50.
struct CellCorner {
  int i, j;
  float alpha;
};

void cellCorners(const RippleSheet& sheet, int i, int j, bool incoming, CellCorner (&out)[4]) {
  static const int kCornerDi[4] = {0, 1, 1, 0};
  static const int kCornerDj[4] = {0, 0, 1, 1};
  const float first = incoming ? sheet.cover[j][i] : 1.0f - sheet.cover[j][i];
  float previous = first;
  for (int c = 0; c < 4; ++c) {
    const int ci = i + kCornerDi[c];
    const int cj = j + kCornerDj[c];
    float alpha;
    if (c == 0)
      alpha = first;
    else if (!onRim(ci, cj))
      alpha = incoming ? sheet.cover[cj][ci] : 1.0f - sheet.cover[cj][ci];
    else if (!incoming || c == 1)
      alpha = first;
    else
      alpha = previous;
    previous = alpha;
    out[c] = CellCorner{ci, cj, alpha};
  }
}

float cornerHeight(const RippleSheet& sheet, int ci, int cj) { return onRim(ci, cj) ? 1.0f : sheet.height[cj][ci]; }

// The sheet's projection as perspective() makes it, in the single
// precision of the matrix.
struct SheetProjection {
  float xScale, yScale, zScale, zOffset;
};

SheetProjection sheetProjection() {
  const double half = 41.1 / 2.0 * 3.14159265358979323846 / 180.0;
  const double cotangent = std::cos(half) / std::sin(half);
  const double nearZ = 0.5, farZ = 1000.0;
  return SheetProjection{float(cotangent / 1.3333333333333333), float(cotangent),
                         float(-(farZ + nearZ) / (farZ - nearZ)),
                         float(-2.0 * nearZ * farZ / (farZ - nearZ))};
}

}  // namespace

void sheetVertices(const RippleSheet& sheet, bool incoming, std::vector<Vertex>& out) {
  out.resize(size_t(kSheetPoints) * kSheetPoints * 4);
  Vertex* v = out.data();
  for (int j = 0; j < kSheetPoints; ++j) {
    for (int i = 0; i < kSheetPoints; ++i) {
      CellCorner corners[4];
      cellCorners(sheet, i, j, incoming, corners);
      for (const CellCorner& c : corners)
        *v++ = Vertex{sheet.x[c.i], sheet.y[c.j], -cornerHeight(sheet, c.i, c.j), 0.0f, 0.0f,
                      0.0f, c.alpha, sheet.u[c.i], sheet.v[c.j]};
    }
  }
}

// Placed in the band as the scene viewport (512 x 384 at the window's
// origin) puts them.
void sheetCorners(const RippleSheet& sheet, std::vector<SheetCorner>& out) {
  const SheetProjection p = sheetProjection();
  out.resize(size_t(kSheetPoints) * kSheetPoints * 4);
  SheetCorner* corner = out.data();
  for (int j = 0; j < kSheetPoints; ++j) {
    for (int i = 0; i < kSheetPoints; ++i) {
      CellCorner outgoing[4], incoming[4];
      cellCorners(sheet, i, j, false, outgoing);
      cellCorners(sheet, i, j, true, incoming);
      for (int c = 0; c < 4; ++c, ++corner) {
        const int ci = outgoing[c].i, cj = outgoing[c].j;
        const float w = cornerHeight(sheet, ci, cj);
        const float zClip = p.zScale * -w + p.zOffset;
        corner->x = (p.xScale * sheet.x[ci] / w + 1.0f) * 256.0f;
        corner->y = (p.yScale * sheet.y[cj] / w + 1.0f) * 192.0f - 64.0f;
        corner->z = (zClip / w + 1.0f) * 0.5f;
        corner->w = w;
        corner->u = sheet.u[ci];
        corner->v = sheet.v[cj];
        corner->alphaOut = outgoing[c].alpha;
        corner->alphaIn = incoming[c].alpha;
      }
    }
  }
}

bool rippleHidesOutgoing(float radiusFactor, float radiusScale) {
  RippleSheet sheet;
  layOutSheet(sheet);
  for (int j = 0; j < kSheetPoints; ++j)
    for (int i = 0; i < kSheetPoints; ++i)
      if (!(coverAt(radiusAt(sheet, i, j), radiusFactor, radiusScale) >= 1.0f)) return false;
  return true;
}

void FeedbackBuffer::rippleTransition(int a, int b, int /*unusedA*/, int /*unusedB*/,
                                      float frequency, float amplitude, float phase,
                                      float radiusFactor, float radiusScale) {
  fillSheet(rippleSheet, frequency, amplitude, phase, radiusFactor, radiusScale);
  RippleSheetJob job;
  job.sheet = &rippleSheet;
  const bool ownA = ownPicture(*this, a, job.outgoing);
  const bool ownB = ownPicture(*this, b, job.incoming);
  job.ownPictures = ownA && ownB;
  job.vertices = &rippleVertices;
  job.corners = &rippleCorners;
  runRippleSheet(*gfx, software, job);
}
