// The rippling sheet transition of FeedbackBuffer.
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "effects/feedback_buffer.h"

namespace {

constexpr int kSheetPoints = 50;  // grid points per side; corners run 0..50

struct RippleSheet {
  // Positions and texture coordinates per corner index, 0..50.
  float x[kSheetPoints + 1];
  float y[kSheetPoints + 1];
  float u[kSheetPoints + 1];
  float v[kSheetPoints + 1];
  // Per grid point [row][column], 0..49: the incoming picture's cover and the
  // sheet's distance from the eye.
  float cover[kSheetPoints][kSheetPoints];
  float height[kSheetPoints][kSheetPoints];
};

RippleSheet sheet;  // one thread, reused every frame

bool onRim(int i, int j) { return i == 0 || j == 0 || i == kSheetPoints || j == kSheetPoints; }

void fillSheet(float frequency, float amplitude, float phase, float radiusFactor,
               float radiusScale) {
  // Accumulated steps, as the sheet was laid out.
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
  const float radiusNorm = std::sqrt(0.5f);
  const float reach = radiusFactor * radiusScale;
  for (int j = 0; j < kSheetPoints; ++j) {
    for (int i = 0; i < kSheetPoints; ++i) {
      const float px = sheet.x[i];
      const float py = sheet.y[j];
      const float r = std::sqrt(px * px + 4.0f * py * py) / radiusNorm;
      sheet.cover[j][i] =
          reach > r ? std::min(radiusScale * 0.5f * radiusFactor * 2.2f - r, 1.0f) : 0.0f;
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

// One pass over the 50 x 50 cells. The rim stays at distance 1 so the sheet's
// edge always meets the band's edge; rim corners borrow an alpha from inside
// the cell, since the grid has no values of its own at index 50.
void drawSheet(bool incoming) {
  static const int kCornerDi[4] = {0, 1, 1, 0};
  static const int kCornerDj[4] = {0, 0, 1, 1};
  glBegin(GL_QUADS);
  for (int j = 0; j < kSheetPoints; ++j) {
    for (int i = 0; i < kSheetPoints; ++i) {
      const float first = incoming ? sheet.cover[j][i] : 1.0f - sheet.cover[j][i];
      float previous = first;
      for (int c = 0; c < 4; ++c) {
        const int ci = i + kCornerDi[c];
        const int cj = j + kCornerDj[c];
        const bool rim = onRim(ci, cj);
        float alpha;
        if (c == 0)
          alpha = first;
        else if (!rim)
          alpha = incoming ? sheet.cover[cj][ci] : 1.0f - sheet.cover[cj][ci];
        else if (!incoming || c == 1)
          alpha = first;
        else
          alpha = previous;
        previous = alpha;
        const float height = rim ? 1.0f : sheet.height[cj][ci];
        glColor4f(0.0f, 0.0f, 0.0f, alpha);
        glTexCoord2f(sheet.u[ci], sheet.v[cj]);
        glVertex3f(sheet.x[ci], sheet.y[cj], -height);
      }
    }
  }
  glEnd();
}

}  // namespace

void FeedbackBuffer::rippleTransition(int a, int b, int /*unusedA*/, int /*unusedB*/,
                                      float frequency, float amplitude, float phase,
                                      float radiusFactor, float radiusScale) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // At distance 1 this frustum shows exactly the sheet's 1 x 0.5 extent over
  // the band.
  gluPerspective(41.1, 1.3333333333333333, 0.5, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glBindTexture(GL_TEXTURE_2D, textures[a]);
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);

  fillSheet(frequency, amplitude, phase, radiusFactor, radiusScale);
  drawSheet(false);

  // The same cells again, only where the first pass drew them.
  glDepthFunc(GL_EQUAL);
  glBindTexture(GL_TEXTURE_2D, textures[b]);
  drawSheet(true);

  glDepthFunc(GL_LESS);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
