// The two backends behind gfx.h: the same calls, one namespace each; gfx.cpp
// picks one by Gfx::api.
#pragma once

#include "gfx/gfx.h"

namespace es {
// Makes the programs and buffers (Gfx::es) on the current ES context.
void start(Gfx& gfx);
#include "gfx/backend_calls.inc"
}  // namespace es

#ifdef __EMSCRIPTEN__
// A browser offers WebGL 2 (OpenGL ES 3) only: every call goes to that backend.
namespace desktop = es;
#else
namespace desktop {
#include "gfx/backend_calls.inc"
}  // namespace desktop
#endif
