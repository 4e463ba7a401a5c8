#include "platform/desktop_window.h"

#include <SDL2/SDL.h>

#include "platform/message_box.h"

bool openVideo() { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }

bool displayOffersMode(int width, int height) {
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height) return true;
  }
  return false;
}

static void requestPixelFormat() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

bool createDesktopWindow(DesktopWindow& w, const char* title, int width, int height,
                         bool fullscreen, bool* quitPosted) {
  requestPixelFormat();
  Uint32 flags = SDL_WINDOW_OPENGL;
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
  w.window = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (!w.window) {
    // A window without GL tells a missing pixel format from a failed window.
    SDL_Window* plain = SDL_CreateWindow(title, 0, 0, width, height, flags & ~SDL_WINDOW_OPENGL);
    if (!plain) {
      showMessage("Couldn't create window!", "Window Creation Error", MessageIcon::Error);
      return false;
    }
    showMessage("Could not find suitable pixel format", "Pixel Format Error", MessageIcon::None);
    *quitPosted = true;
    w.window = plain;
    return true;
  }
  w.fullscreen = fullscreen;
  if (fullscreen) {
    SDL_DisplayMode mode{SDL_PIXELFORMAT_UNKNOWN, width, height, 0, nullptr};
    SDL_SetWindowDisplayMode(w.window, &mode);
    SDL_ShowCursor(SDL_DISABLE);
  }
  w.context = SDL_GL_CreateContext(w.window);
  if (!w.context) {
    showMessage("Can't create render context.", "Render Context Error", MessageIcon::None);
    *quitPosted = true;
  } else if (SDL_GL_MakeCurrent(w.window, w.context) != 0) {
    showMessage("Can't set active render context.", "Render Context Error", MessageIcon::None);
    *quitPosted = true;
  }
  // The loop never waits for the display.
  SDL_GL_SetSwapInterval(0);
  return true;
}

WindowEvent pollWindowEvent() {
  WindowEvent out;
  SDL_Event e;
  if (!SDL_PollEvent(&e)) return out;
  switch (e.type) {
    case SDL_KEYDOWN:
      if (e.key.keysym.sym == SDLK_ESCAPE) out.kind = WindowEventKind::Escape;
      break;
    case SDL_QUIT:
      out.kind = WindowEventKind::Closed;
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        out.kind = WindowEventKind::Closed;
      } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        out.kind = WindowEventKind::Resized;
        out.width = e.window.data1;
        out.height = e.window.data2;
      }
      break;
    default:
      break;
  }
  return out;
}

void swapWindow(DesktopWindow& w) { SDL_GL_SwapWindow(w.window); }

void closeDesktopWindow(DesktopWindow& w) {
  if (w.context) SDL_GL_DeleteContext(w.context);
  if (w.window) SDL_DestroyWindow(w.window);
  w = DesktopWindow{};
}
