#include "platform/headless_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace {

EGLDisplay openDisplay() {
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  const char* clientExt = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto has = [&](const char* name) { return clientExt && std::strstr(clientExt, name); };
  EGLint major, minor;
  if (getPlatformDisplay && has("EGL_MESA_platform_surfaceless")) {
    EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor)) return d;
  }
  if (getPlatformDisplay && has("EGL_EXT_platform_device")) {
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(
        eglGetProcAddress("eglQueryDevicesEXT"));
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (queryDevices && queryDevices(8, devices, &count)) {
      for (EGLint i = 0; i < count; ++i) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor)) return d;
      }
    }
  }
  EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor)) return d;
  return EGL_NO_DISPLAY;
}

// The window has no alpha channel, so destination alpha reads as 1; the
// pbuffer must match or blends with GL_DST_ALPHA would differ.
bool chooseConfig(EGLDisplay d, GlApi api, EGLConfig* out) {
  const EGLint renderable = api == GlApi::kEs ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT;
  const EGLint want[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, renderable,
                         EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                         EGL_DEPTH_SIZE, 24, EGL_NONE};
  EGLint count = 0;
  if (!eglChooseConfig(d, want, nullptr, 0, &count) || count == 0) return false;
  std::vector<EGLConfig> configs(count);
  eglChooseConfig(d, want, configs.data(), count, &count);
  int best = -1;
  for (int i = 0; i < count; ++i) {
    EGLint r, g, b, a;
    eglGetConfigAttrib(d, configs[i], EGL_RED_SIZE, &r);
    eglGetConfigAttrib(d, configs[i], EGL_GREEN_SIZE, &g);
    eglGetConfigAttrib(d, configs[i], EGL_BLUE_SIZE, &b);
    eglGetConfigAttrib(d, configs[i], EGL_ALPHA_SIZE, &a);
    if (r != 8 || g != 8 || b != 8) continue;
    if (a == 0) { best = i; break; }
    if (best < 0) best = i;  // an alpha config is masked to 1 by the caller
  }
  if (best < 0) return false;
  *out = configs[best];
  return true;
}

// The GL's own limits, not EGL_MAX_PBUFFER_WIDTH: Mesa reports 4096 there
// and makes larger pbuffers all the same. A query not answered (0) limits
// nothing.
void readSizeLimit(HeadlessContext& ctx) {
  GLint renderbuffer = 0, viewport[2] = {0, 0};
  glGetIntegerv(0x84E8 /* GL_MAX_RENDERBUFFER_SIZE */, &renderbuffer);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  auto least = [](int a, int b) { return a <= 0 ? b : b <= 0 ? a : a < b ? a : b; };
  ctx.maxWidth = least(renderbuffer, viewport[0]);
  ctx.maxHeight = least(renderbuffer, viewport[1]);
}

bool fits(const HeadlessContext& ctx, int width, int height) {
  return (ctx.maxWidth <= 0 || width <= ctx.maxWidth) &&
         (ctx.maxHeight <= 0 || height <= ctx.maxHeight);
}

// Binds the API and makes a context for it: ES asks for version 3.
bool bindContext(EGLDisplay d, GlApi api, EGLConfig* config, EGLContext* context) {
  if (!eglBindAPI(api == GlApi::kEs ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) return false;
  if (!chooseConfig(d, api, config)) return false;
  const EGLint es3[] = {EGL_CONTEXT_CLIENT_VERSION, 3, EGL_NONE};
  *context = eglCreateContext(d, *config, EGL_NO_CONTEXT, api == GlApi::kEs ? es3 : nullptr);
  return *context != EGL_NO_CONTEXT;
}

}  // namespace

bool createHeadlessContext(HeadlessContext& ctx, int width, int height, std::string* error,
                           GlChoice gl) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    const int maxWidth = ctx.maxWidth, maxHeight = ctx.maxHeight;
    destroyHeadlessContext(ctx);
    ctx.maxWidth = maxWidth;
    ctx.maxHeight = maxHeight;
    return false;
  };
  EGLDisplay d = openDisplay();
  if (d == EGL_NO_DISPLAY) return fail("no EGL display could be initialised");
  ctx.display = d;
  EGLConfig config;
  EGLContext c = EGL_NO_CONTEXT;
  const GlApi first = gl == GlChoice::kEs ? GlApi::kEs : GlApi::kDesktop;
  ctx.api = first;
  if (!bindContext(d, first, &config, &c) && gl == GlChoice::kAuto) {
    ctx.api = GlApi::kEs;
    bindContext(d, GlApi::kEs, &config, &c);
  }
  if (c == EGL_NO_CONTEXT)
    return fail(ctx.api == GlApi::kEs
                    ? "no OpenGL ES 3 context with a 24-bit RGB pbuffer and a depth buffer"
                    : "no desktop OpenGL context with a 24-bit RGB pbuffer and a depth buffer");
  ctx.context = c;
  // Current without a surface first where EGL allows it, so the limits are
  // known before a pbuffer the GL could not draw is asked for; one context
  // serves both, since making a context costs more than the rest of this.
  const bool limitsFirst = eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, c);
  if (limitsFirst) {
    readSizeLimit(ctx);
    if (!fits(ctx, width, height)) return fail("the size is more than this GL draws");
  }
  const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface s = eglCreatePbufferSurface(d, config, surfaceAttribs);
  if (s == EGL_NO_SURFACE) return fail("the pbuffer could not be created");
  ctx.surface = s;
  if (!eglMakeCurrent(d, s, s, c)) return fail("the OpenGL context could not be made current");
  if (!limitsFirst) {
    readSizeLimit(ctx);
    if (!fits(ctx, width, height)) return fail("the size is more than this GL draws");
  }
  ctx.width = width;
  ctx.height = height;
  return true;
}

void destroyHeadlessContext(HeadlessContext& ctx) {
  if (!ctx.display) return;
  EGLDisplay d = ctx.display;
  eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (ctx.context) eglDestroyContext(d, ctx.context);
  if (ctx.surface) eglDestroySurface(d, ctx.surface);
  eglTerminate(d);
  ctx = HeadlessContext{};
}
