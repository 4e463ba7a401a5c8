#include <algorithm>
#include <cmath>

#include "gfx/scene_region.h"
#include "scenes/tunnel.h"

const float kTunnelTextEventTimes[kTunnelTextEvents] = {17.0f, 25.0f};

namespace {

constexpr int kTextBlurredSlot = 30;  // second copy of Images/ukeText.pcx, rewritten by the blurs

// The line of text in the 512 x 256 picture (rows from the top), centred on
// the scene viewport.
constexpr float kTextX0 = 0.0f;
constexpr float kTextY0 = 80.0f;
constexpr float kTextX1 = 511.0f;
constexpr float kTextY1 = 165.0f;
constexpr float kTextWidth = kTextX1 - kTextX0;
constexpr float kTextHeight = kTextY1 - kTextY0;

}  // namespace

bool stepTunnelText(TunnelState& s, float t, TunnelTextBlur& blur) {
  // Every event blurs from the untouched picture, so when a jump in time
  // starts both in one frame only the later one's blur shows; it alone is
  // described.
  int current = -1;
  for (int k = 0; k < kTunnelTextEvents; ++k) {
    if (t > kTunnelTextEventTimes[k] && s.textStage == k) s.textStage = k + 1;
    if (s.textStage == k + 1) current = k;
  }
  if (current < 0) return false;

  s.windowA = TimeWindow{kTunnelTextEventTimes[current], kTunnelTextEventLength, s.windowA.span};
  s.windowB = TimeWindow{kTunnelTextEventTimes[current], kTunnelTextEventLength, s.windowB.span};
  float e;
  if (current == 0) {
    e = s.windowA.easeIn(t, 1.0f, 0.5f);
    const float a = 1.5f * e;
    blur.red = blur.blue = std::min(1.0f, a * a);
    blur.green = std::min(1.0f, std::pow(a, 1.5f));
    blur.vSpread = 0.5f;
  } else {
    e = s.windowA.ringOut(t, 1.0f, 0.5f);
    blur.red = blur.blue = std::min(1.0f, std::pow(e, 1.2f));
    blur.green = std::min(1.0f, e);
    blur.vSpread = 1.0f;
  }
  blur.amount = 0.06f - 0.06f * e;
  return true;
}

bool tunnelBlurHeld(const TunnelScene& s, const TunnelTextBlur& b) {
  // Every blur starts from the untouched picture in texture 29, so equal
  // settings give the same texture 30.
  const TunnelTextBlur& h = s.heldBlur;
  return s.blurHeld && h.vSpread == b.vSpread && h.amount == b.amount && h.red == b.red &&
         h.green == b.green && h.blue == b.blue;
}

float tunnelFadeWeight(float fadeMs) {
  // The colour range would clamp the weight anyway; clamping here keeps the
  // picture's share at exactly zero once the fade is done.
  return std::min(1.0f, std::max(0.0f, 0.0005f * fadeMs));
}

void settleTunnelTextGrowth(TunnelState& s) {
  if (s.textStage >= 1 && s.textStage <= kTunnelTextEvents)
    s.windowA = TimeWindow{kTunnelTextEventTimes[0], 100.0f, s.windowA.span};
}

void drawTunnelText(Gfx& gfx, const TunnelState& s) {
  // The line keeps growing by 0.01 per second from its appearance.
  const bool shown = s.textStage >= 1 && s.textStage <= kTunnelTextEvents;
  if (!shown) return;
  const TimeWindow growing{kTunnelTextEventTimes[0], 100.0f, s.windowA.span};
  const float growth = growing.rise(s.frameSeconds);
  const float sx = 0.4f + growth;
  const float sy = 0.2f + growth;
  const float w = kTextWidth;
  const float h = kTextHeight;
  BandQuad q = flatQuad(-w * sx, -h * sy, w * sx, h * sy, texS(kTextX0), texT(kTextY1),
                        texS(kTextX1), texT(kTextY0), kBlack);
  for (Vertex& v : q.corners) v.z = 0.0f;
  drawQuads(gfx, scenePass(Blend::kScreen, Combine::kAdd, kTextBlurredSlot), q.corners, 4);
}
