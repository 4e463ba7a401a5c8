#include "host/frame_loop.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "host/command_line.h"
#include "host/director.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "host/screen.h"
#include "host/seek.h"
#include "platform/asset_path.h"
#include "platform/desktop_window.h"
#include "platform/message_box.h"
#include "platform/music_stream.h"
#include "platform/stop_signals.h"
#include "platform/tick_clock.h"

static const char kTitle[] = "(LVS) Lumivaara Zadorivora";
static const char kMusicFile[] = "Music/virtaus.ogg";

// The settings of the options, in the host's own terms.
static WindowRequest windowRequest(const DemoOptions& o) {
  WindowRequest r;
  r.title = kTitle;
  r.display = o.display;
  r.vsync = o.vsync;
  r.use = o.style == DisplayStyle::Windowed ? ScreenUse::Window
          : o.style == DisplayStyle::Mode   ? ScreenUse::Mode
                                            : ScreenUse::Desktop;
  r.width = o.style == DisplayStyle::Mode ? o.modeWidth : o.windowWidth;
  r.height = o.style == DisplayStyle::Mode ? o.modeHeight : o.windowHeight;
  return r;
}

// Opens the window; a mode switch the display cannot make asks first. When
// it returns false, *end says why the program ends at once (Viewer: the
// viewer answered No).
static bool openWindow(DesktopWindow& w, WindowRequest request, bool* quitPosted,
                       DemoEnd* end) {
  *end = DemoEnd::Failure;
  if (!openVideo()) {
    showMessage("The window class could not be registered!", "Window Creation Error",
                MessageIcon::Error);
    std::fprintf(stderr,
                 "lumivaara: no display to open a window on (%s); "
                 "render offline with lumivaara-capture instead\n",
                 SDL_GetError());
    return false;
  }
  const int displays = displayCount();
  if (request.display >= displays) {
    std::fprintf(stderr, "lumivaara: --display: %d is out of range (0 to %d, the displays here)\n",
                 request.display, displays - 1);
    *end = DemoEnd::NoSuchDisplay;
    return false;
  }
  if (request.use == ScreenUse::Mode &&
      !displayOffersMode(request.display, request.width, request.height)) {
    const Answer answer = askYesNo(
        "The Requested Fullscreen Mode Is Not Supported By\n"
        "Your Video Card. Use Windowed Mode Instead?",
        "OPENGL");
    if (answer != Answer::Yes) {
      // Unasked is no choice of the viewer's: nothing was shown.
      *end = answer == Answer::No ? DemoEnd::Viewer : DemoEnd::Failure;
      return false;
    }
    request.use = ScreenUse::Window;
  }
  return createDesktopWindow(w, request, quitPosted);
}

// Test hook: LUMIVAARA_CLOCK_RATE=N runs the system clock N times fast, so a
// test can play the whole timeline in seconds. Only without music.
static int clockRate() {
  const char* text = std::getenv("LUMIVAARA_CLOCK_RATE");
  int rate = 1;
  if (text && !parseIntValue(text, 1, 10000, &rate)) {
    std::fprintf(stderr, "lumivaara: LUMIVAARA_CLOCK_RATE=%s is not a rate from 1 to 10000\n",
                 text);
    rate = 1;
  }
  return rate;
}

// The demo clock: the music's position, or the demo time at the tick base
// plus the ticks since when there is no music (muted, a missing file or no
// audio device).
struct DemoClock {
  MusicStream* stream = nullptr;
  uint32_t tickBase = 0;
  int baseMs = 0;
  int rate = 1;
  int now() const {
    if (stream) return musicGetTime(stream);
    return baseMs + static_cast<int>((tickCount() - tickBase) * static_cast<int64_t>(rate));
  }
};

// Moves the clock, and the music with it, to timeMs from now on.
static void setClock(DemoClock& clock, int timeMs) {
  if (clock.stream) musicSetTime(clock.stream, timeMs);
  clock.tickBase = tickCount();
  clock.baseMs = timeMs;
}

// Left and Right: 10 s back or forward from the demo time shown; the clock
// and the music go on from the target.
static void jump(Demo& demo, DemoClock& clock, const DemoState& atLoad, int byMs) {
  setClock(clock, jumpDemoTo(demo, atLoad, demo.state.director.demoTimeMs + byMs));
}

// From the state after loading to `startMs`, and the clock with it: where
// the demo starts, and starts again.
static void startAt(Demo& demo, DemoClock& clock, const DemoState& atLoad, int startMs) {
  startDemoAt(demo, atLoad, startMs);
  setClock(clock, startMs);
}

static void startMusic(DemoClock& clock, int startMs) {
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
  // Placed before it plays, so not a buffer of the beginning is heard.
  musicSetTime(stream, startMs);
  if (!musicPlay(stream)) {
    std::fprintf(stderr, "lumivaara: no audio device (%s); the demo runs without sound\n",
                 SDL_GetError());
    musicClose(stream);
    return;
  }
  clock.stream = stream;
}

DemoEnd runFrameLoop(const DemoOptions& options, const RenderRequest& render) {
  catchStopSignals();
  WindowRequest request = windowRequest(options);
  request.gl = settleGlChoice(render);
  DesktopWindow window;
  bool quitPosted = false;
  DemoEnd end = DemoEnd::Failure;
  if (!openWindow(window, request, &quitPosted, &end)) {
    SDL_Quit();
    return end;
  }
  auto demo = std::make_unique<Demo>();
  demo->screenWidth = request.width;
  demo->screenHeight = request.height;
  startGfx(demo->gfx, window.api);
  initGl(*demo, render);
  drawableSize(window, &demo->screenWidth, &demo->screenHeight);
  // Every scene as loaded: where a jump back and a loop start again.
  const DemoState atLoad = demo->state;
  // A later start: the frames before it advance unseen, before the music
  // starts, so the first frame shown follows the last of them by one
  // frame's time.
  runSeekFrames(*demo, 0, options.startMs, kSeekFps);

  DemoClock clock;
  clock.rate = clockRate();
  if (!options.mute) startMusic(clock, options.startMs);
  clock.tickBase = tickCount();
  clock.baseMs = options.startMs;

  bool viewerEnded = false;
  bool failed = false;
  for (;;) {
    if (demo->ended) {
      if (!options.loop) break;
      std::fprintf(stderr, "lumivaara: the demo ended; starting again from the beginning\n");
      startAt(*demo, clock, atLoad, options.startMs);
    }
    if (viewerEnded || failed || stopSignalTaken()) break;
    const WindowEvent event = pollWindowEvent();
    switch (event.kind) {
      case WindowEventKind::Escape:
      case WindowEventKind::Closed:
        viewerEnded = true;
        break;
      case WindowEventKind::ToggleFullscreen:
        toggleFullscreen(window);
        break;
      case WindowEventKind::Resized: {
        // The drawable, not the window: they differ on scaled displays.
        int w = 0, h = 0;
        drawableSize(window, &w, &h);
        setScreenSize(*demo, w, h);
        break;
      }
      case WindowEventKind::SeekBack:
        jump(*demo, clock, atLoad, -10000);
        break;
      case WindowEventKind::SeekForward:
        jump(*demo, clock, atLoad, 10000);
        break;
      case WindowEventKind::None:
        break;
    }
    if (viewerEnded || demo->ended) continue;
    renderFrame(*demo, clock.now());
    swapWindow(window);
    // A failed context step lets exactly one frame run.
    if (quitPosted) failed = true;
  }

  if (clock.stream) {
    musicClose(clock.stream);
    musicShutdown();
  }
  closeDesktopWindow(window);
  SDL_Quit();
  if (stopSignalTaken()) endByStopSignal();
  if (failed) return DemoEnd::Failure;
  return viewerEnded ? DemoEnd::Viewer : DemoEnd::Timeline;
}
