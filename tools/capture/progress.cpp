#include "progress.h"

#include <cstdio>
#include <unistd.h>

#include "platform/tick_clock.h"

void startProgress(Progress& p, long long total, bool show) {
  p = Progress{};
  p.total = total;
  p.startNs = tickNanoseconds();
  p.terminal = show && isatty(2);
}

double progressSeconds(const Progress& p) { return (tickNanoseconds() - p.startNs) * 1e-9; }

void stepProgress(Progress& p) {
  ++p.done;
  if (!p.terminal) return;
  const int64_t now = tickNanoseconds();
  if (now - p.lastDrawNs < 100000000 && p.done < p.total) return;
  p.lastDrawNs = now;
  const double seconds = progressSeconds(p);
  const double rate = seconds > 0 ? p.done / seconds : 0;
  const double left = rate > 0 ? (p.total - p.done) / rate : 0;
  const int width = 30;
  const int filled = p.total > 0 ? static_cast<int>(width * p.done / p.total) : width;
  char bar[width + 1];
  for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '.';
  bar[width] = 0;
  std::fprintf(stderr, "\r[%s] %lld/%lld frames  %.1f fps  %d:%02d left ", bar, p.done, p.total,
               rate, static_cast<int>(left) / 60, static_cast<int>(left) % 60);
  std::fflush(stderr);
}

void finishProgress(Progress& p) {
  if (p.terminal) std::fprintf(stderr, "\r\033[K");
}
