// The software path's passes: what a software rasteriser draws slowly (many
// texel reads per pixel, or thousands of tiny primitives) done on the CPU a
// whole pass at a time, with the pictures moved in and out of GL once.
// The host makes one SoftwarePasses when it chooses the software path and
// hands it to whatever draws; on the GL path there is none. Callers hand
// each pass the state they have just set; a pass never asks GL for state.
// Where the handed state is beyond it, a pass draws nothing and returns
// false, and the caller draws the pass in GL. Every pass draws into the
// band (band_picture.h) as the scenes place it.
#pragma once

#include <cstdint>
#include <memory>

#include "software/band_picture.h"
#include "software/pass_shapes.h"
#include "software/terrain_strip.h"
#include "software/texture_copies.h"

struct Gfx;
struct Pass;

// How often each pass has run on the CPU: tests read these to know the
// software pass, not GL, drew what they compare.
struct SoftwarePassCounts {
  uint64_t blur = 0, swirl = 0, lines = 0, terrain = 0, glow = 0;
  uint64_t gridQuads = 0, ripple = 0, crossfade = 0, tintedBlur = 0;
};

struct Gfx;
struct SoftwareScratch;

// Everything the passes keep: the copies of the static textures (the loader
// fills them), the texture band pictures go through, the counts, and the
// pictures and tables each pass reuses from frame to frame.
// The object belongs to one GL context: the copies' names and the band
// texture (made on the first band picture) are that context's.
struct SoftwarePasses {
  explicit SoftwarePasses(Gfx& gfx);
  ~SoftwarePasses();
  SoftwarePasses(const SoftwarePasses&) = delete;
  SoftwarePasses& operator=(const SoftwarePasses&) = delete;

  Gfx* gfx;  // what the passes hand their results to
  TextureCopies copies;
  SoftwarePassCounts counts;
  unsigned bandTexture = 0;
  std::unique_ptr<SoftwareScratch> scratch;
};

// The crossfade of two band-sized pictures added to the frame just cleared
// (to any colour): b at alpha w, then a at 1 - w, each 1:1 over the band
// under GL_ADD texturing and (source alpha, destination alpha) blending.
// Needs the copy to be the band.
bool softwareCrossfade(SoftwarePasses& sw, const BandCopy& copy, unsigned pictureA,
                       unsigned pictureB, float w);

// The dissolve's blur on two repeating slots: for each, kBlurPasses passes
// of four taps at (+-spread, +-spread) weighed by tapWeight, each on the
// previous pass's result, the last left in the slot's work texture. Needs
// the copy to be the band.
bool softwareBlur(SoftwarePasses& sw, const BandCopy& copy, const FeedbackSlot (&slots)[2],
                  const float (&spreads)[2][kBlurPasses], float tapWeight);

// The tinted blur's passes on a frame cleared to black (the scenes that
// blur their titles clear to black): pass 1 samples static texture
// `picture` (a keyed image, band-sized) and the rest the previous result,
// each pass p four taps at (+-spreadS[p], +-spreadT[p]) of the texel
// modulated by `tint`, weighed by its alpha and tapWeight. The last pass is
// left in `work` and in the band.
bool softwareTintedBlur(SoftwarePasses& sw, const BandCopy& copy, unsigned picture,
                        unsigned work, int passCount, const float* spreadS, const float* spreadT,
                        float tapWeight, const float (&tint)[3]);

// The swirl's passes over the frame's copy rectangle, added under the same
// texturing and blending: pass 0 samples the slot's picture, the rest the
// previous result, which ends in the slot's work texture. Needs a clamped
// slot and the copy inside the scene viewport.
bool softwareSwirl(SoftwarePasses& sw, const BandCopy& copy, const FeedbackSlot& slot,
                   const SwirlQuad* quads, int passCount, float alpha);

// The ripple transition's two passes over the band, cells of four corners
// split along the first corner's diagonal, onto depth cleared to the far
// plane as the transition leaves it, from the slots' pictures (not their
// work textures). Needs every corner inside the band, in front of the near
// plane. Depth is left as it was.
bool softwareRippleSheet(SoftwarePasses& sw, const FeedbackSlot& outgoing,
                         const FeedbackSlot& incoming, const SheetCorner* corners, int cellCount);

// Smooth one-pixel lines added to the band by a (source alpha, one) blend,
// or (source alpha, destination alpha) onto the opaque frame, which adds
// the same; pairs of vertices of `floatsPerVertex` floats, x, y, z, r, g,
// b, a first.
bool softwareLines(SoftwarePasses& sw, const float* vertices, int floatsPerVertex,
                   int lineCount, const LinePlacement& placement);

// The landscape's terrain: `march(column, strips)` fills a column's strips
// and returns their count, for each of the band's columns (on several
// threads at once); the strips are painted modulated by static texture
// `texture` and put over the band where they lie. `last` receives the last
// strip drawn (red < 0 where none).
bool softwareTerrain(SoftwarePasses& sw, unsigned texture, TerrainMarch march,
                     const void* context, TerrainStrip& last);

// The text glow's passes from static texture `source` over `clear`, each
// pass drawing every piece four times, offset by (+-o/2, +-o/2) with o =
// offsets[pass * pieceCount + piece]; the result is put into texture `glow`
// (band-sized). Band rows [litBegin, litEnd) of the result hold any light.
bool softwareTextGlow(SoftwarePasses& sw, unsigned source, unsigned glow,
                      const GlowPiece* pieces, int pieceCount, const float* offsets,
                      int passCount, const uint8_t (&clear)[3], int& litBegin, int& litEnd);

// One frame of the ray grid's quads (in the layout above) as runs of one
// texture in emission order, drawn with `pass` ((source alpha, destination
// alpha) blending onto the opaque frame, added texturing, the band
// translation); nothing reads the depth they would write: the order cannot
// change a pixel. Narrow quads of a static texture are painted from its
// copy; the rest are drawn with `pass` grouped by texture.
bool softwareGridQuads(SoftwarePasses& sw, Gfx& gfx, const Pass& pass, const float* vertices,
                       const GridRun* runs, int runCount);
