#include "host/frame_loop.h"

#include <SDL2/SDL.h>

#include <cstdio>

#include "host/host.h"
#include "platform/asset_path.h"
#include "platform/desktop_window.h"
#include "platform/message_box.h"
#include "platform/music_stream.h"
#include "platform/tick_clock.h"

static const char kTitle[] = "(LVS) Lumivaara Zadorivora";
static const char kMusicFile[] = "Music/virtaus.ogg";

// Opens the window, full screen when the display has the mode, else after
// asking. False when the program should end at once.
static bool openWindow(DesktopWindow& w, bool* quitPosted) {
  if (!openVideo()) {
    showMessage("The window class could not be registered!", "Window Creation Error",
                MessageIcon::Error);
    std::fprintf(stderr,
                 "lumivaara: no display to open a window on (%s); "
                 "render offline with lumivaara-capture instead\n",
                 SDL_GetError());
    return false;
  }
  if (fullscreen && !displayOffersMode(screenWidth, screenHeight)) {
    if (!askYesNo("The Requested Fullscreen Mode Is Not Supported By\n"
                  "Your Video Card. Use Windowed Mode Instead?",
                  "OPENGL"))
      return false;
    fullscreen = false;
  }
  return createDesktopWindow(w, kTitle, screenWidth, screenHeight, fullscreen, quitPosted);
}

// The demo clock: the music's position, or ticks since the base when there is
// no music (music off, a missing file or no audio device).
struct DemoClock {
  MusicStream* stream = nullptr;
  uint32_t tickBase = 0;
  int now() const {
    if (stream) return musicGetTime(stream);
    return static_cast<int>(tickCount() - tickBase);
  }
};

static void startMusic(DemoClock& clock) {
  if (!musicEnabled) return;
  if (!musicInit()) {
    std::fprintf(stderr, "lumivaara: no audio device (%s); the demo runs without sound\n",
                 SDL_GetError());
    return;
  }
  const std::string path = assetPath(kMusicFile);
  MusicStream* stream = musicOpen(path);
  if (!stream) {
    reportAssetFailure(path, "cannot be opened as Ogg Vorbis; the demo runs on the system clock");
    return;
  }
  if (!musicPlay(stream)) {
    std::fprintf(stderr, "lumivaara: no audio device (%s); the demo runs without sound\n",
                 SDL_GetError());
    musicClose(stream);
    return;
  }
  musicSetTime(stream, startOffsetMs);
  clock.stream = stream;
}

int runFrameLoop() {
  DesktopWindow window;
  bool quitPosted = false;
  if (!openWindow(window, &quitPosted)) {
    SDL_Quit();
    return 0;
  }
  initGl();
  SDL_GL_GetDrawableSize(window.window, &screenWidth, &screenHeight);

  DemoClock clock;
  startMusic(clock);
  clock.tickBase = tickCount();

  bool windowClosed = false;
  while (!windowClosed && !quitRequested) {
    const WindowEvent event = pollWindowEvent();
    switch (event.kind) {
      case WindowEventKind::Escape:
        quitRequested = true;
        break;
      case WindowEventKind::Closed:
        windowClosed = true;
        break;
      case WindowEventKind::Resized:
        setSceneViewport(event.width, event.height);
        break;
      case WindowEventKind::None:
        break;
    }
    renderFrame(clock.now());
    swapWindow(window);
    // A failed context step lets exactly one frame run.
    if (quitPosted) windowClosed = true;
  }

  if (clock.stream) {
    musicClose(clock.stream);
    musicShutdown();
  }
  closeDesktopWindow(window);
  SDL_Quit();
  return 0;
}
