// The demo: a window, the music, and the frame loop until Escape or 330 s.
#include <cstdio>
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
  const DemoEnd end = runFrameLoop(
      options, RenderRequest{options.renderGiven, options.render, options.glGiven, options.gl});
  if (end == DemoEnd::NoSuchDisplay) {
    std::fputs(kDemoUsage, stderr);
    return 2;
  }
  return end == DemoEnd::Failure ? 1 : 0;
}
