#include "host/offline_host.h"

#include <algorithm>

#include "gfx/gfx.h"
#include "host/host.h"

bool startOfflineHost(HeadlessContext& ctx, Demo& demo, int width, int height,
                      std::string* error, const RenderRequest& request) {
  // The scene region is drawn at the lower left whatever the output size.
  if (!createHeadlessContext(ctx, std::max(width, 512), std::max(height, 384), error,
                             settleGlChoice(request)))
    return false;
  startGfx(demo.gfx, ctx.api);
  markStep(demo.startup, "off-screen context");
  demo.screenWidth = width;
  demo.screenHeight = height;
  initGl(demo, request);
  return true;
}

void startOutputReadback(Gfx& gfx, OutputReadback& r, int width, int height, int depth) {
  r = OutputReadback{};
  r.gfx = &gfx;
  r.width = width;
  r.height = height;
  r.depth = std::min(std::max(depth, 1), 3);
  for (int i = 0; i < r.depth; ++i)
    r.buffers[i] = createPixelBuffer(gfx, static_cast<size_t>(width) * height * 4);
}

void beginOutputRead(OutputReadback& r, int tag) {
  const int slot = (r.oldest + r.pending) % r.depth;
  r.tags[slot] = tag;
  ++r.pending;
  readFrameLater(*r.gfx, r.buffers[slot], PixelRect{0, 0, r.width, r.height});
}

bool finishOutputRead(OutputReadback& r, unsigned char* bgrx, int* tag) {
  const int slot = r.oldest;
  r.oldest = (r.oldest + 1) % r.depth;
  --r.pending;
  *tag = r.tags[slot];
  // Only the row order changes here; the rest waits for the writer thread.
  return takeFrameRead(*r.gfx, r.buffers[slot], r.width, r.height, bgrx);
}

void bgrxToRgb(const unsigned char* bgrx, size_t pixels, unsigned char* rgb) {
  for (size_t i = 0; i < pixels; ++i, bgrx += 4, rgb += 3) {
    rgb[0] = bgrx[2];
    rgb[1] = bgrx[1];
    rgb[2] = bgrx[0];
  }
}

void stopOutputReadback(OutputReadback& r) {
  for (int i = 0; i < r.depth; ++i) deletePixelBuffer(*r.gfx, r.buffers[i]);
  r = OutputReadback{};
}
