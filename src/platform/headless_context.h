// Off-screen OpenGL through EGL: a pbuffer with the same pixel format as the
// window (RGB without alpha, 24-bit depth), for capture and tests.
#pragma once
#include <string>

struct HeadlessContext {
  void* display = nullptr;
  void* surface = nullptr;
  void* context = nullptr;
  int width = 0;
  int height = 0;
};

// Tries Mesa's surfaceless platform first, then the device and default
// displays, so it also runs on a GPU driver's EGL. On failure returns false
// and says why in *error.
bool createHeadlessContext(HeadlessContext& ctx, int width, int height, std::string* error);
void destroyHeadlessContext(HeadlessContext& ctx);

// The largest output this GL draws: its largest renderbuffer and viewport,
// found with a throwaway context. False with *error set when no context can be made.
bool headlessSizeLimit(int* maxWidth, int* maxHeight, std::string* error);
