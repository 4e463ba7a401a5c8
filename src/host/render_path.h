// Which render path draws the frames: the plain GL passes, taken on graphics
// hardware, or the software backend's CPU passes, taken on a software
// rasteriser. Decided once, right after the context exists, never per frame.
#pragma once
#include <string>

#include "platform/render_path.h"

enum class RenderChoice { Auto, Gl, Software };

// "gl", "software" or "auto"; false on anything else.
bool parseRenderChoice(const char* text, RenderChoice* out);

// What a --render flag asked for; the flag wins over LUMIVAARA_RENDER.
// Programs call this after parsing their arguments, before the context.
void requestRenderChoice(RenderChoice choice);

// Auto takes the software path when the renderer string names a software
// rasteriser (llvmpipe, softpipe, or says "software").
RenderPath decideRenderPath(RenderChoice choice, const char* renderer);

// Settles the path for the current context: the requested flag, else
// LUMIVAARA_RENDER (a bad value is reported and ignored), else auto; prints
// "render path: NAME (renderer: ...)" on standard error. Called by initGl.
void settleRenderPath();

RenderPath renderPath();
const char* renderPathName(RenderPath path);

// Tests switch paths here; production code never does after start-up.
void setRenderPath(RenderPath path);
