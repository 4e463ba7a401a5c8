#include "platform/desktop_window.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/message_box.h"

bool openVideo() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // Where no display answers, SDL falls back on drivers that draw into
  // memory, and the demo would play unseen.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x || !*x) && (!wayland || !*wayland))
      SDL_SetError("DISPLAY and WAYLAND_DISPLAY are not set");
    else
      SDL_SetError("DISPLAY=%s, WAYLAND_DISPLAY=%s: neither answers", x ? x : "",
                   wayland ? wayland : "");
    return false;
  }
  return true;
}

int displayCount() { return SDL_GetNumVideoDisplays(); }

bool displayOffersMode(int display, int width, int height) {
  const int count = SDL_GetNumDisplayModes(display);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width && mode.h == height)
      return true;
  }
  return false;
}

// OpenGL ES 3.0 through SDL's ES context (EGL); desktop GL keeps SDL's
// defaults, the context the demo always had.
static void requestApi(GlApi api) {
  if (api != GlApi::kEs) return;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
}

static void requestPixelFormat() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

// Full screen is asked of the window manager; where there is none (a kiosk
// X session, a test server) nothing would cover the screen, so the window
// itself is placed over the whole display first. After a mode switch the
// display has the window's size, so only the corner moves (resize false).
static void coverDisplay(SDL_Window* window, int display, bool resize) {
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(display, &bounds) != 0) return;
  SDL_SetWindowPosition(window, bounds.x, bounds.y);
  if (resize) SDL_SetWindowSize(window, bounds.w, bounds.h);
}

bool createDesktopWindow(DesktopWindow& w, const WindowRequest& request, bool* quitPosted) {
  requestPixelFormat();
  w.api = request.gl == GlChoice::kEs ? GlApi::kEs : GlApi::kDesktop;
  requestApi(w.api);
  const bool full = request.use != ScreenUse::Window;
  const Uint32 fullscreenFlag =
      request.use == ScreenUse::Mode ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
  if (full) flags |= fullscreenFlag;
  int x = SDL_WINDOWPOS_CENTERED_DISPLAY(request.display), y = x;
  int width = request.width, height = request.height;
  SDL_Rect bounds;
  // Full screen starts over the display, as coverDisplay places it later.
  if (full && SDL_GetDisplayBounds(request.display, &bounds) == 0) {
    x = bounds.x;
    y = bounds.y;
    if (request.use == ScreenUse::Desktop) {
      width = bounds.w;
      height = bounds.h;
    }
  }
  w.display = request.display;
  w.windowedWidth = request.width;
  w.windowedHeight = request.height;
  w.window = SDL_CreateWindow(request.title, x, y, width, height, flags);
  if (!w.window) {
    // A window without GL tells a missing pixel format from a failed window.
    SDL_Window* plain =
        SDL_CreateWindow(request.title, x, y, width, height, flags & ~SDL_WINDOW_OPENGL);
    if (!plain) {
      showMessage("Couldn't create window!", "Window Creation Error", MessageIcon::Error);
      return false;
    }
    showMessage("Could not find suitable pixel format", "Pixel Format Error", MessageIcon::None);
    *quitPosted = true;
    w.window = plain;
    return true;
  }
  w.fullscreen = full;
  w.fullscreenFlag = fullscreenFlag;
  if (request.use == ScreenUse::Mode) {
    SDL_DisplayMode mode{SDL_PIXELFORMAT_UNKNOWN, request.width, request.height, 0, nullptr};
    SDL_SetWindowDisplayMode(w.window, &mode);
  }
  SDL_ShowCursor(full ? SDL_DISABLE : SDL_ENABLE);
  w.context = SDL_GL_CreateContext(w.window);
  if (!w.context && request.gl == GlChoice::kAuto) {
    w.api = GlApi::kEs;
    requestApi(w.api);
    w.context = SDL_GL_CreateContext(w.window);
  }
  if (!w.context) {
    showMessage("Can't create render context.", "Render Context Error", MessageIcon::None);
    *quitPosted = true;
  } else if (SDL_GL_MakeCurrent(w.window, w.context) != 0) {
    showMessage("Can't set active render context.", "Render Context Error", MessageIcon::None);
    *quitPosted = true;
  }
  // Waiting for the display keeps the picture whole and the processor free;
  // a driver that cannot wait simply runs free.
  SDL_GL_SetSwapInterval(request.vsync ? 1 : 0);
  return true;
}

static WindowEventKind kindOf(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
      if (e.key.keysym.sym == SDLK_ESCAPE) return WindowEventKind::Escape;
      if (e.key.repeat) return WindowEventKind::None;
      if (e.key.keysym.sym == SDLK_F11) return WindowEventKind::ToggleFullscreen;
      if (e.key.keysym.sym == SDLK_LEFT) return WindowEventKind::SeekBack;
      if (e.key.keysym.sym == SDLK_RIGHT) return WindowEventKind::SeekForward;
      if ((e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) &&
          (e.key.keysym.mod & KMOD_ALT))
        return WindowEventKind::ToggleFullscreen;
      return WindowEventKind::None;
    case SDL_QUIT:
      return WindowEventKind::Closed;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) return WindowEventKind::Closed;
      if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) return WindowEventKind::Resized;
      return WindowEventKind::None;
    default:
      return WindowEventKind::None;
  }
}

WindowEvent pollWindowEvent() {
  WindowEvent out;
  SDL_Event e;
  while (out.kind == WindowEventKind::None && SDL_PollEvent(&e)) out.kind = kindOf(e);
  return out;
}

void toggleFullscreen(DesktopWindow& w) {
  if (!w.window) return;
  if (w.fullscreen) {
    if (SDL_SetWindowFullscreen(w.window, 0) != 0) return;
    SDL_SetWindowSize(w.window, w.windowedWidth, w.windowedHeight);
    const int centred = SDL_WINDOWPOS_CENTERED_DISPLAY(w.display);
    SDL_SetWindowPosition(w.window, centred, centred);
    w.fullscreen = false;
    SDL_ShowCursor(SDL_ENABLE);
    return;
  }
  // Back to this size later, as the viewer may have resized the window.
  SDL_GetWindowSize(w.window, &w.windowedWidth, &w.windowedHeight);
  coverDisplay(w.window, w.display, w.fullscreenFlag != SDL_WINDOW_FULLSCREEN);
  if (SDL_SetWindowFullscreen(w.window, w.fullscreenFlag) != 0) return;
  w.fullscreen = true;
  SDL_ShowCursor(SDL_DISABLE);
}

void drawableSize(DesktopWindow& w, int* width, int* height) {
  SDL_GL_GetDrawableSize(w.window, width, height);
}

void swapWindow(DesktopWindow& w) { SDL_GL_SwapWindow(w.window); }

void closeDesktopWindow(DesktopWindow& w) {
  if (w.context) SDL_GL_DeleteContext(w.context);
  if (w.window) SDL_DestroyWindow(w.window);
  w = DesktopWindow{};
}
