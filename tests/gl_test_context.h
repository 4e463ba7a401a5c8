// One headless GL context for the whole test binary (EGL pbuffer, no alpha).
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "host/host.h"
#include "test_render_path.h"
#include "platform/headless_context.h"

// The demo that startDemoOnce loads, one per test binary.
inline Demo& testDemo() {
  static Demo demo;
  return demo;
}

// Makes a process-wide context current, sized at least width x height.
// Fails the calling test when EGL is unavailable.
inline bool useHeadlessGl(int width = 800, int height = 600) {
  static HeadlessContext ctx;
  if (ctx.display && ctx.width >= width && ctx.height >= height) return true;
  destroyHeadlessContext(ctx);
  forgetSoftwarePasses();  // their texture names belonged to the old context
  testDemo().gfx = Gfx{};  // so did what the layer made (the blur taps' program)
  testRenderPath().gfx = Gfx{};
  std::string error;
  bool ok = createHeadlessContext(ctx, width, height, &error);
  EXPECT_TRUE(ok) << error;
  return ok;
}

// Runs the program's start-up (assets, scenes, screen texture) once per test
// binary, in the shared context, for tests that drive whole frames.
inline bool startDemoOnce(int width = 800, int height = 600) {
  static bool started = false;
  if (!useHeadlessGl(width, height)) return false;
  if (!started) {
    initGl(testDemo());
    adoptDemoPath(testDemo());
  }
  started = true;
  return true;
}
