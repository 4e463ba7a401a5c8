#include "effects/feedback_buffer.h"

#include <algorithm>

#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "passes/blur_pass.h"
#include "passes/crossfade_pass.h"
#include "passes/swirl_pass.h"
#include "passes/tinted_blur_pass.h"

namespace {

// A composite's quads: the scene projection, no modelview, the texture
// added to the quad's colour (0, 0, 0, alpha) and weighed by that alpha.
Pass compositePass(TextureName texture, Blend blend = Blend::kWeighted) {
  return scenePass(blend, Combine::kAdd, texture);
}

// The full band at z = -1 with colour (0, 0, 0, alpha).
void drawBandQuad(Gfx& gfx, const Pass& pass, float alpha) {
  const BandQuad quad = bandQuad(alpha);
  drawQuads(gfx, pass, quad.corners, 4);
}

}  // namespace

FeedbackBuffer::FeedbackBuffer(Gfx& gfx, SoftwarePasses* software)
    : copyX(0),
      copyY(64),
      copyWidth(512),
      copyHeight(256),
      imageMemory(512 * 256 * 4, 0),
      gfx(&gfx),
      software(software) {
  TextureName primary[3];
  TextureName work[3];
  for (TextureName& name : primary) name = createTexture(gfx);
  for (TextureName& name : work) name = createTexture(gfx);
  for (int s = 0; s < 3; ++s) {
    textures[s] = textures[s + 3] = primary[s];
    textures[s + 6] = textures[s + 9] = work[s];
  }
  for (int e = 0; e < 12; ++e) ownTextures[e] = textures[e];
  for (int s = 0; s < 3; ++s) {
    // Slot 2 holds whole pictures shown on a sheet, whose edges must not
    // pick up the opposite side; the blurred slots wrap.
    const Wrap wrap = s == 2 ? Wrap::kClampToBorder : Wrap::kRepeat;
    for (TextureName name : {textures[s], textures[s + 6]})
      defineTexture(gfx, name, 512, 256, PixelFormat::kRgb, PixelFormat::kRgba,
                    imageMemory.data(), wrap, Filter::kLinear);
  }
  prepareBlurTaps(gfx);
}

void FeedbackBuffer::captureFrame(int slot) {
  copyFrameToTexture(*gfx, textures[slot], copyRect());
}

bool ownPicture(const FeedbackBuffer& fb, int entry, FeedbackSlot& out) {
  if (entry < 0 || entry >= 12) return false;
  out = FeedbackSlot{fb.textures[entry], 0, entry % 3 != 2};
  return out.picture == fb.ownTextures[entry];
}

void FeedbackBuffer::crossfade(float w, int a, int b) {
  FeedbackSlot slotA, slotB;
  CrossfadeJob job;
  job.a = textures[a];
  job.b = textures[b];
  job.ownPictures = ownPicture(*this, a, slotA) && ownPicture(*this, b, slotB);
  job.copy = copyRect();
  job.background = background;
  job.w = w;
  runCrossfade(*gfx, software, job);
}

// Slot `slot` as the software passes are handed it; true where its picture
// and work texture are both still the ones the buffer made.
static bool ownSlot(const FeedbackBuffer& fb, int slot, FeedbackSlot& out) {
  const bool madePicture = ownPicture(fb, slot, out);
  out.work = fb.textures[slot + 6];
  return madePicture && out.work == fb.ownTextures[slot + 6];
}

void FeedbackBuffer::blurCrossfade(float w, int a, int b) {
  BlurJob blur;
  const bool ownA = ownSlot(*this, a, blur.slots[0]);
  const bool ownB = ownSlot(*this, b, blur.slots[1]);
  blur.ownSlots = ownA && ownB;
  blur.factors[0] = w;
  blur.factors[1] = 1.0f - w;
  blur.copy = copyRect();
  blur.background = background;
  runBlur(*gfx, software, blur);

  clearFrame(*gfx, background);
  drawBandQuad(*gfx, compositePass(textures[b + 6]), w);
  drawBandQuad(*gfx, compositePass(textures[a + 6]), 1.0f - w);

  // The blurred b never quite reaches b itself; the sharp one fades in over
  // the last twentieth.
  drawBandQuad(*gfx, compositePass(textures[b], Blend::kOver),
               std::min(std::max((w - 0.95f) * 20.0f, 0.0f), 1.0f));
}

void FeedbackBuffer::tintedBlur(int slot, int n, float uSpread, float vSpread, float amount,
                                float red, float green, float blue) {
  TintedBlurJob job;
  job.picture = textures[slot];
  job.work = textures[slot + 6];
  job.copy = copyRect();
  job.background = background;
  job.passes = n;
  job.uSpread = uSpread;
  job.vSpread = vSpread;
  job.amount = amount;
  job.tint[0] = red;
  job.tint[1] = green;
  job.tint[2] = blue;
  runTintedBlur(*gfx, software, job);
}

void FeedbackBuffer::swirlZoom(int slot, float spin, int /*unused*/, float zoomBase,
                               float zoomExponent, float panX, float panY, float alphaOffset) {
  SwirlJob job;
  job.ownSlot = ownSlot(*this, slot, job.slot);
  job.copy = copyRect();
  job.spin = spin;
  job.zoomBase = zoomBase;
  job.zoomExponent = zoomExponent;
  job.panX = panX;
  job.panY = panY;
  // The floor keeps every pass visible however small the zoom.
  job.alpha = std::max((zoomBase - 1.6f) * 0.18f + alphaOffset + 0.2f, 0.2f);
  runSwirl(*gfx, software, job);

  clearFrame(*gfx, background);
  drawBandQuad(*gfx, compositePass(textures[slot + 6]), 1.0f);
}
