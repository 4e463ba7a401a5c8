// One headless GL context for the whole test binary (EGL pbuffer, no alpha).
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/headless_context.h"

// Makes a process-wide context current, sized at least width x height.
// Fails the calling test when EGL is unavailable.
inline bool useHeadlessGl(int width = 800, int height = 600) {
  static HeadlessContext ctx;
  if (ctx.display && ctx.width >= width && ctx.height >= height) return true;
  destroyHeadlessContext(ctx);
  std::string error;
  bool ok = createHeadlessContext(ctx, width, height, &error);
  EXPECT_TRUE(ok) << error;
  return ok;
}
