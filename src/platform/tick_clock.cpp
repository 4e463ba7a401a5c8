#include "platform/tick_clock.h"

#include <time.h>

int64_t tickNanoseconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

uint32_t tickCount() { return static_cast<uint32_t>(tickNanoseconds() / 1000000); }
