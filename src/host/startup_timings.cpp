#include "host/startup_timings.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "platform/tick_clock.h"

// Milliseconds since the process started, from its start time in
// /proc/self/stat (clock ticks since boot); negative where unreadable.
static double processAgeMs() {
  FILE* f = std::fopen("/proc/self/stat", "r");
  if (!f) return -1;
  char text[1024];
  const size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[n] = '\0';
  // The command name may hold spaces: the fields resume after its ')'.
  const char* p = nullptr;
  for (const char* c = text; *c; ++c)
    if (*c == ')') p = c;
  unsigned long long start = 0;
  if (!p || std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                        &start) != 1)
    return -1;
  timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double ticks = double(sysconf(_SC_CLK_TCK));
  return (double(now.tv_sec) + double(now.tv_nsec) * 1e-9 - double(start) / ticks) * 1000.0;
}

void startTimings(StartupTimings& t) {
  t.steps.clear();
  t.lastNs = tickNanoseconds();
  const double age = processAgeMs();
  if (age >= 0) t.steps.push_back({"process start to main (10 ms steps)", age});
}

void markStep(StartupTimings& t, const char* name) {
  const int64_t now = tickNanoseconds();
  t.steps.push_back({name, double(now - t.lastNs) * 1e-6});
  t.lastNs = now;
}

std::string formatTimings(const StartupTimings& t) {
  std::string out;
  char line[160];
  double total = 0;
  for (const StartupTimings::Step& s : t.steps) {
    std::snprintf(line, sizeof line, "  %-38s %8.1f ms\n", s.name.c_str(), s.ms);
    out += line;
    total += s.ms;
  }
  std::snprintf(line, sizeof line, "  %-38s %8.1f ms\n", "to the first frame", total);
  return out + line;
}
