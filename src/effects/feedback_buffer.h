// FeedbackBuffer: captured copies of the 512 x 256 band as textures, and the
// full-band composites that draw them back (crossfades, blurs, the rippling
// sheet transition, the swirling zoom). Most composites copy their result
// into a slot's work texture after each pass so the next pass builds on it.
#pragma once

#include <vector>

#include "gfx/gfx.h"
#include "software/software_passes.h"

// The ripple transition's 50 x 50 sheet, laid out anew by each transition.
struct RippleSheet {
  static constexpr int kPoints = 50;  // grid points per side; corners run 0..50
  // Positions and texture coordinates per corner index, 0..50.
  float x[kPoints + 1];
  float y[kPoints + 1];
  float u[kPoints + 1];
  float v[kPoints + 1];
  // Per grid point [row][column], 0..49: the incoming picture's cover and the
  // sheet's distance from the eye.
  float cover[kPoints][kPoints];
  float height[kPoints][kPoints];
};

// One pass's 50 x 50 cells as quads in the sheet's perspective, each
// corner carrying that pass's alpha (the incoming one's where `incoming`).
void sheetVertices(const RippleSheet& sheet, bool incoming, std::vector<Vertex>& out);
// Both passes' cells as the software path takes them.
void sheetCorners(const RippleSheet& sheet, std::vector<SheetCorner>& out);

struct FeedbackBuffer {
  // Slot s is the pair primary textures[s], work textures[s + 6]; entries 3..5
  // and 9..11 repeat 0..2 and 6..8. A scene may put any texture name into an
  // entry (e.g. a start-up slot) by plain assignment.
  TextureName textures[12];
  // The names the buffer made, per entry: an entry still holding its own
  // name is known to be band-sized and repeating (slots 0, 1) or clamped
  // (slot 2), which the software passes are handed.
  TextureName ownTextures[12];
  int copyX;
  int copyY;
  int copyWidth;
  int copyHeight;
  std::vector<unsigned char> imageMemory;  // 512 x 256 x 4 zero bytes

  Gfx* gfx;  // the drawing layer

  // What the composites clear the frame to before they add their pictures.
  Colour background = kBlack;

  // The software path's passes, which draw the composites they can take on
  // the CPU; null on the GL path.
  SoftwarePasses* software;

  // Room the ripple transition reuses from frame to frame.
  RippleSheet rippleSheet;
  std::vector<SheetCorner> rippleCorners;
  std::vector<Vertex> rippleVertices;

  // Creates the six textures (512 x 256 RGB, linear; slots 0 and 1 repeat,
  // slot 2 clamps to a black border). Needs a current GL context.
  FeedbackBuffer(Gfx& gfx, SoftwarePasses* software);

  // Copies the band (copyX, copyY, copyWidth x copyHeight) into textures[slot].
  void captureFrame(int slot);
  PixelRect copyRect() const { return PixelRect{copyX, copyY, copyWidth, copyHeight}; }

  // Slot a at weight 1 - w under slot b at weight w; with software passes
  // on the CPU where both entries hold the buffer's own textures.
  void crossfade(float w, int a, int b);

  // Dissolve from a to b: a blurs as w rises, b sharpens; the sharp b takes
  // over during the last twentieth. On the software path the blur passes
  // run on the CPU where both slots hold the buffer's own textures.
  void blurCrossfade(float w, int a, int b);

  // n four-tap passes of growing spread, tinted by (red, green, blue).
  void tintedBlur(int slot, int n, float uSpread, float vSpread, float amount, float red,
                  float green, float blue);

  // Picture a on a rippling 50 x 50 sheet, replaced by b inside a circle
  // that grows from the centre with radiusFactor. On the software path the
  // sheet is painted on the CPU where both entries hold the buffer's own
  // textures and the sheet stays inside the band; the depth buffer is then
  // left as it was.
  void rippleTransition(int a, int b, int unusedA, int unusedB, float frequency, float amplitude,
                        float phase, float radiusFactor, float radiusScale);

  // Nine passes that draw the previous result rotated, zoomed and panned;
  // with software passes on the CPU where the slot holds the buffer's own
  // textures.
  void swirlZoom(int slot, float spin, int unused, float zoomBase, float zoomExponent,
                 float panX, float panY, float alphaOffset);
};

// Whether the ripple sheet at this sweep covers the outgoing picture
// everywhere: its alpha is then zero at every corner, so it adds nothing
// and need not be drawn.
bool rippleHidesOutgoing(float radiusFactor, float radiusScale);

// Table entry `entry`'s picture as the software passes are handed it (no
// work texture); true where it is still the one the buffer made for it,
// false where a scene has put another picture there.
bool ownPicture(const FeedbackBuffer& fb, int entry, FeedbackSlot& out);
