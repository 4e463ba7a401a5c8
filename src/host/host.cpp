#include "host/host.h"

#include <malloc.h>

#include <memory>

#include "host/director.h"
#include "host/loader.h"
#include "host/screen.h"

// Blends with GL_DST_ALPHA assume a framebuffer without alpha, where it reads
// as 1. If the driver gave us an alpha channel anyway, fill it with 1 once and
// never write it again, which reads the same.
static void keepDestinationAlphaOpaque() {
  GLint alphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  if (alphaBits == 0) return;
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(0, 0, 0, 1);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

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
  demo.path = settleRenderPath(request);
  if (demo.path == RenderPath::Software && !demo.software)
    demo.software = std::make_unique<SoftwarePasses>(demo.gfx);
  markStep(demo.startup, "render path");
  loadEverything(demo);
  setDefaultGlState(demo.gfx);
  keepDestinationAlphaOpaque();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  createScreenTexture(demo);
  markStep(demo.startup, "GL state and screen texture");
}

void renderFrame(Demo& demo, int nowMs, bool draw) {
  if (!draw) {
    if (!Director(demo, nowMs, false)) demo.ended = true;
    return;
  }
  setSceneViewport(demo, demo.screenWidth, demo.screenHeight);
  if (!Director(demo, nowMs, true)) demo.ended = true;
  presentBand(demo);
}
