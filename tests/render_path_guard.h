// Tests pick the render path through the program's own decision and get the
// previous one back when they end, however they end.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gl_test_context.h"
#include "host/render_path.h"
#include "software/software_passes.h"

class RenderPathGuard {
 public:
  // Needs a current context: `auto` decides by its renderer, as start-up does.
  explicit RenderPathGuard(RenderChoice choice) : previous_(renderPath()) {
    setRenderPath(decideRenderPath(choice, rendererName()));
  }
  ~RenderPathGuard() { setRenderPath(previous_); }
  RenderPathGuard(const RenderPathGuard&) = delete;
  RenderPathGuard& operator=(const RenderPathGuard&) = delete;

  static const char* rendererName() {
    return reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  }

 private:
  RenderPath previous_;
};

// Whether the context renders with Mesa's llvmpipe, whose exact output the
// software passes reproduce (a context is made where none is current).
inline bool onLlvmpipe() {
  if (!RenderPathGuard::rendererName() && !useHeadlessGl(1, 1)) return false;
  const char* name = RenderPathGuard::rendererName();
  return name && std::string(name).find("llvmpipe") != std::string::npos;
}

#define SKIP_UNLESS_LLVMPIPE()                                                           \
  do {                                                                                   \
    if (!onLlvmpipe())                                                                   \
      GTEST_SKIP() << "compares with llvmpipe's exact output; renderer here: "           \
                   << (RenderPathGuard::rendererName() ? RenderPathGuard::rendererName() \
                                                       : "unknown");                     \
  } while (0)
