#include "platform/stop_signals.h"

#include <SDL2/SDL_hints.h>
#include <semaphore.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

// A signal handler reaches only what lives at file scope; these are all the
// state there is, and the handler touches nothing else.
namespace {

std::atomic<int> taken{0};
std::atomic<pid_t> childGroup{0};
std::atomic<bool> installed{false};
sem_t stopPosted;

// Long enough for a frame under a sanitizer, short enough to feel prompt.
constexpr time_t kGraceSeconds = 2;

// Async-signal-safe: the default action back, then the signal again, on
// this thread with the signal unblocked (a handler runs with it blocked).
[[noreturn]] void dieBy(int sig) {
  signal(sig, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(sig);
  _exit(128 + sig);
}

void onStopSignal(int sig) {
  int none = 0;
  // A second stop does not wait for the first.
  if (!taken.compare_exchange_strong(none, sig)) dieBy(sig);
  const pid_t group = childGroup.load();
  if (group > 0) kill(-group, SIGKILL);
  sem_post(&stopPosted);
}

// Ends the process once the grace after a stop has passed.
void watchStops() {
  while (sem_wait(&stopPosted) != 0) {
  }
  timespec grace{kGraceSeconds, 0};
  while (nanosleep(&grace, &grace) != 0) {
  }
  const pid_t group = childGroup.load();
  if (group > 0) kill(-group, SIGKILL);
  dieBy(taken.load());
}

}  // namespace

void catchStopSignals() {
  if (installed.exchange(true)) return;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  sem_init(&stopPosted, 0, 0);
  // The watcher starts with both signals blocked, so they reach the threads
  // that can act on them.
  sigset_t stops, previous;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, &previous);
  std::thread(watchStops).detach();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);

  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int stopSignalTaken() { return taken.load(); }

void endByStopSignal() {
  std::fflush(nullptr);
  const int sig = taken.load();
  dieBy(sig ? sig : SIGTERM);
}

void setStopSignalChildGroup(pid_t group) { childGroup.store(group); }
