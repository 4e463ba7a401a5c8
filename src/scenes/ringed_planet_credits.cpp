#include <algorithm>
#include <cmath>

#include "gfx/scene_region.h"
#include "scenes/ringed_planet.h"

const CreditBlock kCreditBlocks[kCreditBlockCount] = {
    {20, 10, 230, 130, -190, 100},
    {240, 10, 500, 130, 180, 100},
    {75, 130, 430, 250, -135, -100},
};

const float kCreditEventTimes[kCreditEventCount] = {4.8f, 6.8f, 8.8f, 12.0f, 14.0f, 16.0f};

namespace {

constexpr int kCreditsSlot = 22;         // keyed, inverted credits image
constexpr int kCreditsBlurredSlot = 23;  // its tinted blur, renewed by each event

// A block's quad, scaled about its centre, counter-clockwise from its lower
// left corner.
BandQuad blockQuad(const CreditBlock& b, float w, float h, float sx, float sy,
                   const Colour& colour) {
  return flatQuad(b.centreX - w * sx, b.centreY - h * sy, b.centreX + w * sx, b.centreY + h * sy,
                  texS(b.x1), texT(b.y2), texS(b.x2), texT(b.y1), colour);
}

// The shown blocks with `pass`, each wearing its own texture.
void drawBlocks(Gfx& gfx, const CreditState& c, Pass pass, const Colour& colour,
                const float sx[], const float sy[], float widenX, float widenY) {
  for (int b = 0; b < kCreditBlockCount; ++b) {
    if (!creditBlockShown(c, b)) continue;
    pass.texture = TextureName(creditBlockTexture(c, b));
    BandQuad q = blockQuad(kCreditBlocks[b], c.width[b], c.height[b], sx[b] + widenX / c.width[b],
                           sy[b] + widenY / c.height[b], colour);
    for (Vertex& v : q.corners) v.z = 0.0f;
    drawSingleQuads(gfx, pass, q.corners, 4);
  }
}

}  // namespace

void initCreditSizes(CreditState& credits) {
  for (int b = 0; b < kCreditBlockCount; ++b) {
    credits.width[b] = kCreditBlocks[b].x2 - kCreditBlocks[b].x1;
    credits.height[b] = kCreditBlocks[b].y2 - kCreditBlocks[b].y1;
  }
  credits.revealCount = 0;
}

int stepCredits(CreditState& c, float t, CreditBlur blurs[kCreditEventCount]) {
  int blurCount = 0;
  for (int e = 0; e < kCreditEventCount; ++e) {
    // An event counts only once every earlier one has.
    if (t > kCreditEventTimes[e] && c.revealCount == e) ++c.revealCount;
    if (e < kCreditBlockCount) {
      const float base = c.revealCount >= e + 1 ? 0.3f : 0.25f;
      c.scaleX[e] = base;
      c.scaleY[e] = base;
    }
    if (c.revealCount != e + 1) continue;

    c.popWindow = TimeWindow{kCreditEventTimes[e], kCreditEventLength, c.popWindow.span};
    c.stretchWindow = TimeWindow{kCreditEventTimes[e], kCreditEventLength, c.stretchWindow.span};
    CreditBlur& blur = blurs[blurCount++];
    float l;
    if (e < kCreditBlockCount) {
      l = c.popWindow.easeIn(t, 1.0f, 0.5f);
      const float s = 0.25f + 0.05f * c.stretchWindow.easeIn(t, 5.0f, 0.5f);
      c.scaleX[e] = s;
      c.scaleY[e] = s;
      const float a = 1.5f * l;
      blur.red = blur.blue = std::min(1.0f, a * a);
      blur.green = std::min(1.0f, std::pow(a, 1.5f));
      blur.vSpread = 0.5f;
    } else {
      const int b = e - kCreditBlockCount;
      l = c.popWindow.ringOut(t, 1.0f, 0.5f);
      const float s = c.stretchWindow.easeIn(t, 1.0f, 1.0f);
      c.scaleX[b] = 0.3f + 2.5f * s;
      c.scaleY[b] = 0.3f - 0.2f * s;
      blur.red = blur.blue = std::min(1.0f, std::pow(l, 1.2f));
      blur.green = std::min(1.0f, l);
      blur.vSpread = 1.0f;
    }
    blur.amount = 0.06f - 0.06f * l;
  }
  return blurCount;
}

bool creditBlockShown(const CreditState& c, int block) {
  return block < c.revealCount && block >= c.revealCount - 4;
}

int creditBlockTexture(const CreditState& c, int block) {
  const bool latest = c.revealCount == block + 1 || c.revealCount == block + 4;
  return latest ? kCreditsBlurredSlot : kCreditsSlot;
}

void settleCreditGrowth(CreditState& c) {
  if (c.revealCount <= 0) return;
  c.popWindow = TimeWindow{kCreditEventTimes[kCreditBlockCount - 1], 100.0f, c.popWindow.span};
}

void drawCreditsOverlay(Gfx& gfx, const CreditState& c, float t) {
  if (c.revealCount <= 0) return;
  // Shown blocks keep growing by 0.01 per second from their appearance.
  float sx[kCreditBlockCount];
  float sy[kCreditBlockCount];
  for (int b = 0; b < kCreditBlockCount; ++b) {
    const TimeWindow growing{kCreditEventTimes[b], 100.0f, c.popWindow.span};
    const float growth = growing.rise(t);
    sx[b] = c.scaleX[b] + growth;
    sy[b] = c.scaleY[b] + growth;
  }

  drawBlocks(gfx, c, scenePass(Blend::kInverseScreen, Combine::kModulate, 0), Colour{1, 1, 1, 1},
             sx, sy, 0.0f, 0.0f);
  // Additive glow, the half-extents widened by 3 x 1.4 pixels.
  drawBlocks(gfx, c, scenePass(Blend::kAdd, Combine::kModulate, 0),
             Colour{0.8f, 0.8f, 0.8f, 1}, sx, sy, 3.0f, 1.4f);
}
