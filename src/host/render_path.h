// Which render path draws the frames: the plain GL passes, taken on graphics
// hardware, or the software backend's CPU passes, taken on a software
// rasteriser. Decided once, right after the context exists, never per frame.
#pragma once
#include <string>

#include "gfx/gl_api.h"
#include "platform/render_path.h"

struct Gfx;

enum class RenderChoice { Auto, Gl, Software };

// "gl", "software" or "auto"; false on anything else.
bool parseRenderChoice(const char* text, RenderChoice* out);
// "desktop", "es" or "auto"; false on anything else.
bool parseGlChoice(const char* text, GlChoice* out);

// What a --render flag asked for, if one was given; the flag wins over
// LUMIVAARA_RENDER.
struct RenderRequest {
  bool given = false;
  RenderChoice choice = RenderChoice::Auto;
  bool glGiven = false;  // --gl, over LUMIVAARA_GL
  GlChoice gl = GlChoice::kAuto;
};

// The API to make the context with: the --gl flag, else LUMIVAARA_GL (a bad
// value is reported and ignored), else auto.
GlChoice settleGlChoice(const RenderRequest& request);

// Auto takes the software path when the renderer string names a software
// rasteriser (llvmpipe, softpipe, or says "software").
RenderPath decideRenderPath(RenderChoice choice, const char* renderer);

// Settles the path for the current context: the requested flag, else
// LUMIVAARA_RENDER (a bad value is reported and ignored), else auto; prints
// "render path: NAME, API VERSION (renderer: ...)" on standard error. Called by initGl.
RenderPath settleRenderPath(Gfx& gfx, const RenderRequest& request);

const char* renderPathName(RenderPath path);
