// Tests pick the render path through the program's own decision and get the
// previous one back when they end, however they end.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "effects/feedback_buffer.h"
#include "gl_test_context.h"
#include "test_render_path.h"
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

// The software passes the host hands out on the software path (switching
// to it makes them), whichever path is current.
inline SoftwarePasses& hostSoftwarePasses() {
  RenderPathGuard software(RenderChoice::Software);
  return *softwarePasses();
}

inline SoftwarePassCounts softwarePassCounts() { return hostSoftwarePasses().counts; }

inline const TextureCopy* textureCopy(unsigned name) {
  return textureCopy(hostSoftwarePasses().copies, name);
}

// A feedback buffer takes its passes when it is made; this hands it those
// of the path chosen, as one made on that path would have, while it lives.
class FeedbackPathGuard {
 public:
  FeedbackPathGuard(FeedbackBuffer& fb, RenderChoice choice)
      : path_(choice), fb_(fb), previous_(fb.software) {
    fb.software = softwarePasses();
  }
  ~FeedbackPathGuard() { fb_.software = previous_; }
  FeedbackPathGuard(const FeedbackPathGuard&) = delete;
  FeedbackPathGuard& operator=(const FeedbackPathGuard&) = delete;

 private:
  RenderPathGuard path_;
  FeedbackBuffer& fb_;
  SoftwarePasses* previous_;
};

// A loaded demo drawn on the path chosen while the guard lives, its shared
// feedback buffer included, as one loaded on that path would be.
class DemoPathGuard {
 public:
  DemoPathGuard(Demo& demo, RenderChoice choice)
      : path_(choice), demo_(demo), previous_(demo.path),
        previousFeedback_(demo.feedback ? demo.feedback->software : nullptr) {
    demo.path = renderPath();
    if (demo.feedback) demo.feedback->software = demo.frame().software;
  }
  ~DemoPathGuard() {
    demo_.path = previous_;
    if (demo_.feedback) demo_.feedback->software = previousFeedback_;
  }
  DemoPathGuard(const DemoPathGuard&) = delete;
  DemoPathGuard& operator=(const DemoPathGuard&) = delete;

 private:
  RenderPathGuard path_;
  Demo& demo_;
  RenderPath previous_;
  SoftwarePasses* previousFeedback_;
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
