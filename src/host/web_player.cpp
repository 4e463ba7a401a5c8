// The browser build's entry points: the page loads the assets into the
// module's file system, then drives the demo through these calls. Each frame
// is drawn in the browser's animation frame, at the time of the page's clock
// (the music heard), by the same per-frame function as the window and the
// capture.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "host/demo.h"
#include "host/host.h"
#include "host/screen.h"
#include "host/seek.h"
#include "platform/web_canvas.h"
#include "platform/web_clock.h"

namespace {

constexpr char kCanvas[] = "#canvas";

// One demo on the page's canvas, and what the page asks of it.
struct WebPlayer {
  std::unique_ptr<Demo> demo = std::make_unique<Demo>();
  DemoState atLoad;                  // every scene as loaded: where jumps back start
  std::vector<unsigned char> shown;  // the test hook's last frame
  double framesDrawn = 0;
  bool running = false;  // the animation frames are drawing
};

void followCanvas(WebPlayer& p) {
  int width = 0, height = 0;
  canvasDrawableSize(kCanvas, &width, &height);
  setScreenSize(*p.demo, width, height);
}

void drawAnimationFrame(void* arg) {
  WebPlayer& p = *static_cast<WebPlayer*>(arg);
  Demo& demo = *p.demo;
  if (!demo.ended) {
    followCanvas(p);
    renderFrame(demo, webClockMs());
    ++p.framesDrawn;
  }
  if (demo.ended) {
    emscripten_cancel_main_loop();
    p.running = false;
    webTimelineEnded();
  }
}

void stopAnimationFrames(WebPlayer& p) {
  if (p.running) emscripten_cancel_main_loop();
  p.running = false;
}

}  // namespace

extern "C" {

// Makes the WebGL 2 context and loads everything from the module's files:
// null where the browser has no WebGL 2. `renderer` is the browser's name
// for what draws its WebGL (the unmasked renderer, "" where it keeps it to
// itself); `render` is "gl", "software" or "auto", which decides by that name
// as the desktop does by the driver's: a software rasteriser (SwiftShader,
// llvmpipe) gets the software path, whose CPU passes outrun it.
EMSCRIPTEN_KEEPALIVE WebPlayer* lumivaara_load(const char* renderer, const char* render) {
  auto p = std::make_unique<WebPlayer>();
  if (!createWebGl2Context(kCanvas)) return nullptr;
  startGfx(p->demo->gfx, GlApi::kEs);
  markStep(p->demo->startup, "WebGL 2 context");
  followCanvas(*p);
  RenderChoice choice = RenderChoice::Auto;
  parseRenderChoice(render, &choice);
  RenderRequest request;
  request.given = true;
  request.choice = decideRenderPath(choice, renderer) == RenderPath::Software
                       ? RenderChoice::Software
                       : RenderChoice::Gl;
  std::fprintf(stderr, "WebGL renderer: %s\n", *renderer ? renderer : "not told");
  initGl(*p->demo, request);
  p->atLoad = p->demo->state;
  return p.release();
}

// Starts (or starts again) at startMs, the frames before it advanced unseen,
// and draws on every animation frame until the end or lumivaara_stop; the
// page's clock must read startMs from now on.
EMSCRIPTEN_KEEPALIVE void lumivaara_start(WebPlayer* p, int startMs) {
  stopAnimationFrames(*p);
  startDemoAt(*p->demo, p->atLoad, startMs);
  p->running = true;
  emscripten_set_main_loop_arg(drawAnimationFrame, p, 0, false);
}

// Brings the picture to targetMs (keys, the time bar, a tab shown again):
// returns the moment reached, where the page's clock goes on from.
EMSCRIPTEN_KEEPALIVE int lumivaara_jump(WebPlayer* p, int targetMs) {
  return jumpDemoTo(*p->demo, p->atLoad, targetMs);
}

// Stops drawing (the context was lost); lumivaara_start goes on.
EMSCRIPTEN_KEEPALIVE void lumivaara_stop(WebPlayer* p) { stopAnimationFrames(*p); }

// The demo time of the last frame run, for the time bar.
EMSCRIPTEN_KEEPALIVE int lumivaara_demo_time(WebPlayer* p) {
  return p->demo->state.director.demoTimeMs;
}

EMSCRIPTEN_KEEPALIVE double lumivaara_frames_drawn(WebPlayer* p) { return p->framesDrawn; }

// 1 where the software path draws, 0 on the gl path.
EMSCRIPTEN_KEEPALIVE int lumivaara_software_path(WebPlayer* p) {
  return p->demo->path == RenderPath::Software;
}

// Test hook: the frame at demo time ms (a frame time at the seek frame rate)
// drawn as a capture starting there draws its first frame, from the state
// after loading; returns it as RGB, top row first, at the canvas's size.
EMSCRIPTEN_KEEPALIVE const unsigned char* lumivaara_show(WebPlayer* p, int ms) {
  stopAnimationFrames(*p);
  Demo& demo = *p->demo;
  followCanvas(*p);
  startDemoAt(demo, p->atLoad, ms);
  renderFrame(demo, frameTimeMs(frameIndexAfter(ms - 1, kSeekFps), kSeekFps));
  readOutputPixels(demo.gfx, demo.screenWidth, demo.screenHeight, p->shown);
  return p->shown.data();
}

// Bench hook: draws the next frame, at demo time ms, from the state the
// last one left, and waits for the drawing to finish: by reading a pixel,
// since a browser's finish() need not wait for its GPU process.
EMSCRIPTEN_KEEPALIVE void lumivaara_draw(WebPlayer* p, int ms) {
  renderFrame(*p->demo, ms);
  uint8_t pixel[4];
  readFrameRgba(p->demo->gfx, PixelRect{0, 0, 1, 1}, pixel);
}

}  // extern "C"
