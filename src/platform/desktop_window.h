// The desktop window and its OpenGL context, through SDL2.
#pragma once

struct SDL_Window;

struct DesktopWindow {
  SDL_Window* window = nullptr;
  void* context = nullptr;
  bool fullscreen = false;
};

// What one pass of the frame loop took from the event queue.
enum class WindowEventKind { None, Escape, Closed, Resized };
struct WindowEvent {
  WindowEventKind kind = WindowEventKind::None;
  int width = 0;
  int height = 0;
};

// Starts SDL's video. False when there is no display to open windows on.
bool openVideo();
// An exact width x height mode on the display, needed for full screen.
bool displayOffersMode(int width, int height);
// Creates the window (full screen in a width x height mode, or windowed with
// that client size) with a double-buffered RGB, 24-bit depth pixel format.
// Reports failures with the program's messages; a pixel format or context
// failure asks the loop to end after its first frame (*quitPosted).
bool createDesktopWindow(DesktopWindow& w, const char* title, int width, int height,
                         bool fullscreen, bool* quitPosted);
// Takes at most one event from the queue.
WindowEvent pollWindowEvent();
void swapWindow(DesktopWindow& w);
void closeDesktopWindow(DesktopWindow& w);
