#include "host/host.h"

#include <malloc.h>

#include <memory>

#include "host/director.h"
#include "host/loader.h"
#include "host/screen.h"

// Mesa's software rasteriser mallocs and frees its binning memory every
// frame; with glibc's default trim threshold the top of the heap goes back to
// the kernel after each frame and is faulted in again on the next, which
// costs more than the whole ray grid under llvmpipe. Keep freed memory.
static void keepHeapFromShrinking() {
#ifdef M_TRIM_THRESHOLD
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

void initGl(Demo& demo, const RenderRequest& request) {
  keepHeapFromShrinking();
  demo.path = settleRenderPath(demo.gfx, request);
  if (demo.path == RenderPath::Software && !demo.software)
    demo.software = std::make_unique<SoftwarePasses>(demo.gfx);
  markStep(demo.startup, "render path");
  loadEverything(demo);
  keepDestinationAlphaOpaque(demo.gfx);
  createScreenTexture(demo);
  markStep(demo.startup, "screen texture");
}

void renderFrame(Demo& demo, int nowMs, bool draw) {
  if (!draw) {
    if (!Director(demo, nowMs, false)) demo.ended = true;
    return;
  }
  if (!Director(demo, nowMs, true)) demo.ended = true;
  presentBand(demo);
}
