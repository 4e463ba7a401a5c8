#include "platform/message_box.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/stop_signals.h"

static Uint32 boxFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::None: break;
  }
  return 0;
}

// What a box's child process reports back.
struct BoxResult {
  int shown = 0;
  int button = -1;  // -1: closed without a button
};

// A box is shown by a child process in a process group of its own. SDL's
// box waits on helper processes in loops that no signal can break, so the
// program itself waits on a pipe, and a stop signal kills the child's group
// with everything it started.
static BoxResult showBox(const SDL_MessageBoxData& box) {
  BoxResult result;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return result;
  const pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return result;
  }
  if (child == 0) {
    setpgid(0, 0);
    // The parent's handlers would only note a stop here, where nothing acts.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    close(fds[0]);
    BoxResult r;
    r.shown = SDL_ShowMessageBox(&box, &r.button) == 0;
    const bool sent = write(fds[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    // No exit handlers: they belong to the parent's state.
    _exit(sent ? 0 : 1);
  }
  setpgid(child, child);  // in both, so the group exists before either goes on
  setStopSignalChildGroup(child);
  close(fds[1]);
  while (!stopSignalTaken()) {
    // The timeout covers a stop taken by another thread just before poll.
    pollfd p{fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, 100);
    if (ready > 0) {
      if (read(fds[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result))
        result = BoxResult{};
      break;
    }
    if (ready < 0 && errno != EINTR) break;
  }
  close(fds[0]);
  if (stopSignalTaken()) kill(-child, SIGKILL);
  setStopSignalChildGroup(0);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (stopSignalTaken()) endByStopSignal();
  return result;
}

void showMessage(const char* text, const char* caption, MessageIcon icon) {
  const SDL_MessageBoxButtonData ok = {
      SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
  SDL_MessageBoxData box{};
  box.flags = boxFlags(icon);
  box.title = caption;
  box.message = text;
  box.numbuttons = 1;
  box.buttons = &ok;
  if (!showBox(box).shown) std::fprintf(stderr, "lumivaara: %s: %s\n", caption, text);
}

Answer askYesNo(const char* text, const char* caption) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_WARNING;
  box.title = caption;
  box.message = text;
  box.numbuttons = 2;
  box.buttons = buttons;
  const BoxResult r = showBox(box);
  if (!r.shown) {
    std::fprintf(stderr, "lumivaara: %s: %s (no box could be shown to ask)\n", caption, text);
    return Answer::NotAsked;
  }
  return r.button == 1 ? Answer::Yes : Answer::No;
}
