#include "host/render_path.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx.h"

bool parseRenderChoice(const char* text, RenderChoice* out) {
  if (!text) return false;
  if (std::strcmp(text, "auto") == 0) *out = RenderChoice::Auto;
  else if (std::strcmp(text, "gl") == 0) *out = RenderChoice::Gl;
  else if (std::strcmp(text, "software") == 0) *out = RenderChoice::Software;
  else return false;
  return true;
}

static bool contains(const char* text, const char* word) {
  return text && std::strstr(text, word) != nullptr;
}

RenderPath decideRenderPath(RenderChoice choice, const char* renderer) {
  if (choice == RenderChoice::Gl) return RenderPath::Gl;
  if (choice == RenderChoice::Software) return RenderPath::Software;
  const bool software = contains(renderer, "llvmpipe") || contains(renderer, "softpipe") ||
                        contains(renderer, "software") || contains(renderer, "Software");
  return software ? RenderPath::Software : RenderPath::Gl;
}

RenderPath settleRenderPath(Gfx& gfx, const RenderRequest& request) {
  RenderChoice choice = RenderChoice::Auto;
  if (request.given) {
    choice = request.choice;
  } else if (const char* env = std::getenv("LUMIVAARA_RENDER")) {
    if (*env && !parseRenderChoice(env, &choice))
      std::fprintf(stderr, "LUMIVAARA_RENDER=%s is not gl, software or auto; choosing by the renderer\n",
                   env);
  }
  const std::string renderer = rendererName(gfx);
  const RenderPath path = decideRenderPath(choice, renderer.c_str());
  std::fprintf(stderr, "render path: %s (renderer: %s)\n", renderPathName(path),
               renderer.empty() ? "unknown" : renderer.c_str());
  return path;
}

const char* renderPathName(RenderPath path) { return path == RenderPath::Software ? "software" : "gl"; }
