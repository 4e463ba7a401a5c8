// The demo: a window, the music, and the frame loop until Escape or 330 s.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/command_line.h"
#include "host/demo_options.h"
#include "host/frame_loop.h"
#include "host/render_path.h"

int main(int argc, char** argv) {
  DemoOptions options;
  std::string error;
  if (!parseDemoOptions(argc, argv, options, &error))
    return refuseArguments("lumivaara", error, kDemoUsage);
  if (options.help) {
    std::fputs(kDemoUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(versionText("lumivaara").c_str(), stdout);
    return 0;
  }
  if (options.renderGiven) requestRenderChoice(options.render);

  const DemoEnd end = runFrameLoop(options);
  if (end == DemoEnd::Timeline && options.loop) {
    // Every scene keeps its own clock and state from start-up on, so the only
    // true start from 0 is a fresh process: the same program, the same line.
    std::fprintf(stderr, "lumivaara: the demo ended; starting again from the beginning\n");
    std::fflush(nullptr);
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "lumivaara: cannot start again: %s\n", std::strerror(errno));
    return 1;
  }
  if (end == DemoEnd::NoSuchDisplay) {
    std::fputs(kDemoUsage, stderr);
    return 2;
  }
  return end == DemoEnd::Failure ? 1 : 0;
}
