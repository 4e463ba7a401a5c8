// Off-screen OpenGL through EGL: a pbuffer with the same pixel format as the
// window (RGB without alpha, 24-bit depth), for capture and tests.
#pragma once
#include <string>

#include "gfx/gl_api.h"

struct HeadlessContext {
  void* display = nullptr;
  void* surface = nullptr;
  void* context = nullptr;
  int width = 0;
  int height = 0;
  GlApi api = GlApi::kDesktop;  // what the context draws with
  // The largest output this GL draws (its largest renderbuffer and viewport;
  // 0: not known), read before the pbuffer is asked for and kept when the
  // requested size is more than that.
  int maxWidth = 0;
  int maxHeight = 0;
};

// Tries Mesa's surfaceless platform first, then the device and default
// displays, so it also runs on a GPU driver's EGL. On failure returns false
// and says why in *error; a size past maxWidth x maxHeight fails that way.
// kAuto takes desktop GL, else OpenGL ES 3 where EGL has no desktop GL.
bool createHeadlessContext(HeadlessContext& ctx, int width, int height, std::string* error,
                           GlChoice gl = GlChoice::kAuto);
void destroyHeadlessContext(HeadlessContext& ctx);
