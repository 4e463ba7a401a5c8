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

bool parseGlChoice(const char* text, GlChoice* out) {
  if (!text) return false;
  if (std::strcmp(text, "auto") == 0) *out = GlChoice::kAuto;
  else if (std::strcmp(text, "desktop") == 0) *out = GlChoice::kDesktop;
  else if (std::strcmp(text, "es") == 0) *out = GlChoice::kEs;
  else return false;
  return true;
}

GlChoice settleGlChoice(const RenderRequest& request) {
  if (request.glGiven) return request.gl;
  GlChoice choice = GlChoice::kAuto;
  const char* env = std::getenv("LUMIVAARA_GL");
  if (env && *env && !parseGlChoice(env, &choice))
    std::fprintf(stderr, "LUMIVAARA_GL=%s is not desktop, es or auto; choosing by the driver\n",
                 env);
  return choice;
}

static bool contains(const char* text, const char* word) {
  return text && std::strstr(text, word) != nullptr;
}

RenderPath decideRenderPath(RenderChoice choice, const char* renderer) {
  if (choice == RenderChoice::Gl) return RenderPath::Gl;
  if (choice == RenderChoice::Software) return RenderPath::Software;
  // SwiftShader: Chromium's WebGL without a graphics card.
  const bool software = contains(renderer, "llvmpipe") || contains(renderer, "softpipe") ||
                        contains(renderer, "SwiftShader") || contains(renderer, "software") ||
                        contains(renderer, "Software");
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
  std::fprintf(stderr, "render path: %s, %s (renderer: %s)\n", renderPathName(path),
               apiName(gfx).c_str(), renderer.empty() ? "unknown" : renderer.c_str());
  return path;
}

const char* renderPathName(RenderPath path) { return path == RenderPath::Software ? "software" : "gl"; }
