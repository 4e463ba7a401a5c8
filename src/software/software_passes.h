// The software path's passes: what a software rasteriser draws slowly (many
// texel reads per pixel, or thousands of tiny primitives) done on the CPU a
// whole pass at a time, with the pictures moved in and out of GL once.
// Callers on the software path (renderPath() in host/render_path.h) hand
// each pass the state they have just set; a pass never asks GL for state.
// Where the handed state is beyond it, a pass draws nothing and returns
// false, and the caller draws the pass in GL. Every pass draws into the
// band (band_picture.h) as the scenes place it.
#pragma once

#include <cstdint>

#include "software/quad_paint.h"
#include "software/ripple_sheet.h"
#include "software/smooth_lines.h"
#include "software/swirl_zoom.h"
#include "software/text_glow.h"

struct TerrainStrip;

// How often each pass has run on the CPU since start-up: tests read these
// to know the software pass, not GL, drew what they compare.
struct SoftwarePassCounts {
  uint64_t blur = 0, swirl = 0, lines = 0, terrain = 0, glow = 0;
  uint64_t gridQuads = 0, ripple = 0, crossfade = 0, tintedBlur = 0;
};
const SoftwarePassCounts& softwarePassCounts();

// The rectangle of the frame that a feedback buffer copies into its slots.
struct BandCopy {
  int x, y, width, height;
};

// A feedback slot as its buffer made it: the picture, and the work texture
// its passes leave their result in, both copy-sized RGB with linear filters,
// repeating or clamped to a black border.
struct FeedbackSlot {
  unsigned picture;
  unsigned work;
  bool repeats;
};

// The crossfade of two band-sized pictures added to the frame just cleared
// (to any colour): b at alpha w, then a at 1 - w, each 1:1 over the band
// under GL_ADD texturing and (source alpha, destination alpha) blending.
// Needs the copy to be the band.
bool softwareCrossfade(const BandCopy& copy, unsigned pictureA, unsigned pictureB, float w);

// The dissolve's blur on two repeating slots: for each, kBlurPasses passes
// of four taps at (+-spread, +-spread) weighed by tapWeight, each on the
// previous pass's result, the last left in the slot's work texture. Needs
// the copy to be the band.
constexpr int kBlurPasses = 7;
bool softwareBlur(const BandCopy& copy, const FeedbackSlot (&slots)[2],
                  const float (&spreads)[2][kBlurPasses], float tapWeight);

// The tinted blur's passes on a frame cleared to black (the scenes that
// blur their titles clear to black): pass 1 samples static texture
// `picture` (a keyed image, band-sized) and the rest the previous result,
// each pass p four taps at (+-spreadS[p], +-spreadT[p]) of the texel
// modulated by `tint`, weighed by its alpha and tapWeight. The last pass is
// left in `work` and in the band.
bool softwareTintedBlur(const BandCopy& copy, unsigned picture, unsigned work, int passCount,
                        const float* spreadS, const float* spreadT, float tapWeight,
                        const float (&tint)[3]);

// The swirl's passes over the frame's copy rectangle, added under the same
// texturing and blending: pass 0 samples the slot's picture, the rest the
// previous result, which ends in the slot's work texture. Needs a clamped
// slot and the copy inside the scene viewport.
bool softwareSwirl(const BandCopy& copy, const FeedbackSlot& slot, const SwirlQuad* quads,
                   int passCount, float alpha);

// The ripple transition's two passes over the band as paintRippleSheet
// draws them, onto depth cleared to the far plane as the transition leaves
// it, from the slots' pictures (not their work textures). Needs every
// corner inside the band, in front of the near plane. Depth is left as it was.
bool softwareRippleSheet(const FeedbackSlot& outgoing, const FeedbackSlot& incoming,
                         const SheetCorner* corners, int cellCount);

// Smooth lines added to the band by a (source alpha, one) blend, or
// (source alpha, destination alpha) onto the opaque frame, which adds the
// same; vertices as blendSmoothLines takes them.
bool softwareLines(const float* vertices, int floatsPerVertex, int lineCount,
                   const LinePlacement& placement);

// The landscape's terrain: `march(column, strips)` fills a column's strips
// and returns their count, for each of the band's columns (on several
// threads at once); the strips are painted modulated by static texture
// `texture` and put over the band where they lie. `last` receives the last
// strip drawn (red < 0 where none).
using TerrainMarch = int (*)(int column, TerrainStrip* strips, const void* context);
bool softwareTerrain(unsigned texture, TerrainMarch march, const void* context,
                     TerrainStrip& last);

// The text glow's passes from static texture `source` over `clear`, the
// result put into texture `glow` (band-sized). Band rows [litBegin,
// litEnd) of the result hold any light.
bool softwareTextGlow(unsigned source, unsigned glow, const GlowPiece* pieces, int pieceCount,
                      const float* offsets, int passCount, const uint8_t (&clear)[3],
                      int& litBegin, int& litEnd);

// One frame of the ray grid's quads (in quad_paint.h's vertex layout) as
// runs of one texture in emission order. The grid has just set (source
// alpha, destination alpha) blending onto the opaque frame, GL_ADD texturing
// and its band translation, and nothing reads the depth it would write: the
// order cannot change a pixel. Narrow quads of a static texture are painted
// from its copy; the rest go to GL grouped by texture, the last run's last.
struct GridRun {
  unsigned texture;
  int firstQuad;
  int quadCount;
};
bool softwareGridQuads(const float* vertices, const GridRun* runs, int runCount);
