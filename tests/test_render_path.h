// The render path the tests draw with when they drive passes directly:
// the program settles its path once, into its Demo; tests switch between the
// two here, and the passes of the software path live as long as the binary.
#pragma once

#include <memory>

#include "host/demo.h"
#include "host/render_path.h"
#include "software/software_passes.h"

struct TestRenderPath {
  RenderPath path = RenderPath::Gl;
  Gfx gfx;                                 // the layer the tests' own passes draw through
  std::unique_ptr<SoftwarePasses> passes;  // made on first use of the software path
  SoftwarePasses* demoPasses = nullptr;    // a loaded demo's, which hold its texture copies
};

inline TestRenderPath& testRenderPath() {
  static TestRenderPath current;
  return current;
}

inline RenderPath renderPath() { return testRenderPath().path; }

inline void setRenderPath(RenderPath path) {
  TestRenderPath& t = testRenderPath();
  t.path = path;
  if (path == RenderPath::Software && !t.demoPasses && !t.passes)
    t.passes = std::make_unique<SoftwarePasses>(t.gfx);
}

// After loading `demo`: its path becomes the tests' and its passes (with the
// copies its textures left) the ones the software path hands out.
inline void adoptDemoPath(const Demo& demo) {
  TestRenderPath& t = testRenderPath();
  t.path = demo.path;
  t.demoPasses = demo.software.get();
}

// The software passes while the software path is current; null on GL.
inline SoftwarePasses* softwarePasses() {
  TestRenderPath& t = testRenderPath();
  if (t.path != RenderPath::Software) return nullptr;
  return t.demoPasses ? t.demoPasses : t.passes.get();
}

// For a new context: what the passes kept (texture copies by name, the band
// texture) belonged to the old one.
inline void forgetSoftwarePasses() {
  TestRenderPath& t = testRenderPath();
  for (SoftwarePasses* p : {t.passes.get(), t.demoPasses}) {
    if (!p) continue;
    p->copies.byName.clear();
    p->bandTexture = 0;
  }
}
