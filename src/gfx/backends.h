// The two backends behind gfx.h: the same calls, one namespace each; gfx.cpp
// picks one by Gfx::api.
#pragma once

#include "gfx/gfx.h"

namespace desktop {
#include "gfx/backend_calls.inc"
}  // namespace desktop

namespace es {
// Makes the programs and buffers (Gfx::es) on the current ES context.
void start(Gfx& gfx);
#include "gfx/backend_calls.inc"
}  // namespace es
