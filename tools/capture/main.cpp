// lumivaara-capture: renders the demo off-screen, frame by frame, into PNG
// files and/or a video, with the same start-up and frame function as the window.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "capture_options.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "platform/asset_path.h"
#include "textures/png_writer.h"
#include "progress.h"
#include "video_encoder.h"

int main(int argc, char** argv) {
  CaptureOptions opt;
  std::string error;
  if (!parseCaptureOptions(argc, argv, opt, &error)) {
    std::fprintf(stderr, "lumivaara-capture: %s\n%s", error.c_str(), kCaptureUsage);
    return 2;
  }
  if (opt.help) {
    std::fputs(kCaptureUsage, stdout);
    return 0;
  }
  if (!opt.framesDir.empty() && mkdir(opt.framesDir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::perror(("lumivaara-capture: " + opt.framesDir).c_str());
    return 1;
  }

  HeadlessContext ctx;
  if (!startOfflineHost(ctx, opt.width, opt.height, &error)) {
    std::fprintf(stderr, "lumivaara-capture: no off-screen OpenGL: %s\n", error.c_str());
    return 1;
  }

  // Every frame from time 0 is rendered, so each scene's state is that of a
  // real run; only those in [from, to) are written.
  long long firstWritten = -1, frameCount = 0;
  while (frameTimeMs(frameCount, opt.fps) < opt.toMs) {
    if (firstWritten < 0 && frameTimeMs(frameCount, opt.fps) >= opt.fromMs) firstWritten = frameCount;
    ++frameCount;
  }

  VideoEncoder video;
  if (!opt.videoFile.empty()) {
    const std::string music = assetPath("Music/virtaus.ogg");
    struct stat st;
    const bool haveMusic = stat(music.c_str(), &st) == 0;
    if (!openVideoEncoder(video, opt.videoFile, opt.width, opt.height, opt.fps,
                          haveMusic ? music : "", frameTimeMs(firstWritten, opt.fps))) {
      std::fprintf(stderr, "lumivaara-capture: cannot start ffmpeg\n");
      return 1;
    }
  }

  Progress progress;
  startProgress(progress, frameCount);
  std::vector<unsigned char> rgb;
  long long written = 0;
  bool ok = true;
  for (long long i = 0; i < frameCount && ok; ++i) {
    const int t = frameTimeMs(i, opt.fps);
    renderFrame(t);
    if (i >= firstWritten) {
      readOutputPixels(opt.width, opt.height, rgb);
      if (!opt.framesDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06d.png", t);
        if (!writePng(opt.framesDir + name, rgb.data(), opt.width, opt.height)) {
          std::fprintf(stderr, "\nlumivaara-capture: cannot write %s%s\n", opt.framesDir.c_str(),
                       name);
          ok = false;
        }
      }
      if (!opt.videoFile.empty() && !writeVideoFrame(video, rgb.data(), opt.width, opt.height)) {
        std::fprintf(stderr, "\nlumivaara-capture: ffmpeg stopped taking frames\n");
        ok = false;
      }
      ++written;
    }
    stepProgress(progress);
  }
  finishProgress(progress);
  if (!opt.videoFile.empty() && !closeVideoEncoder(video)) {
    std::fprintf(stderr, "lumivaara-capture: ffmpeg failed to write %s\n", opt.videoFile.c_str());
    ok = false;
  }
  const double seconds = progressSeconds(progress);
  const bool output = !opt.framesDir.empty() || !opt.videoFile.empty();
  std::fprintf(stderr,
               "lumivaara-capture: %lld frames rendered, %lld %s (%d..%d ms at %d fps) in %.1f s\n",
               frameCount, written, output ? "written" : "in range, none written", opt.fromMs,
               opt.toMs, opt.fps, seconds);
  destroyHeadlessContext(ctx);
  return ok ? 0 : 1;
}
