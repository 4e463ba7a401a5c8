// lumivaara-capture: renders the demo off-screen, frame by frame, into PNG
// files and/or a video, with the same start-up and frame function as the window.
// Rendering, read-back and output overlap: the next frame renders while the
// last ones are read back, compressed and piped into ffmpeg.
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>

#include "capture_options.h"
#include "frame_writer.h"
#include "host/command_line.h"
#include "host/host.h"
#include "host/offline_host.h"
#include "host/render_path.h"
#include "host/seek.h"
#include "host/startup_timings.h"
#include "output_checks.h"
#include "platform/asset_path.h"
#include "platform/tick_clock.h"
#include "progress.h"
#include "video_encoder.h"

namespace {

// Read-back buffers in turn, and frame buffers between the renderer and the
// writer: enough to keep every stage busy, few enough to stay small.
constexpr int kReadbackDepth = 3;
constexpr int kFramePool = 4;

// Hands the oldest read-back to the writer; false with *error set if the
// writer failed or the read-back could not be mapped.
bool passOldestFrame(OutputReadback& readback, FrameWriter& writer, std::string* error) {
  CapturedFrame* frame = takeFreeFrame(writer);
  if (!frame) return false;
  if (!finishOutputRead(readback, frame->bgrx.data(), &frame->timeMs)) {
    *error = "the driver could not map the read-back buffer";
    return false;
  }
  queueFrame(writer, frame);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  StartupTimings startup;
  startTimings(startup);
  CaptureOptions opt;
  std::string error;
  if (!parseCaptureOptions(argc, argv, opt, &error))
    return refuseArguments("lumivaara-capture", error, kCaptureUsage);
  if (opt.help) {
    std::fputs(kCaptureUsage, stdout);
    return 0;
  }
  if (opt.version) {
    std::fputs(versionText("lumivaara-capture").c_str(), stdout);
    return 0;
  }
  if (!opt.note.empty()) std::fprintf(stderr, "lumivaara-capture: %s\n", opt.note.c_str());

  // Every frame from time 0 is run, so each scene's state is that of a real
  // run; those before the range (but for the primer frames) only advance the
  // state, undrawn, and only those in [from, to) are written.
  long long firstWritten = -1, frameCount = 0;
  while (frameTimeMs(frameCount, opt.fps) < opt.toMs) {
    if (firstWritten < 0 && frameTimeMs(frameCount, opt.fps) >= opt.fromMs) firstWritten = frameCount;
    ++frameCount;
  }

  // The outputs and the size are checked before anything loads, so a bad
  // place or format is found in a second rather than after the rendering.
  OutputRefusal refusal;
  if (!opt.framesDir.empty() && !prepareFramesDir(opt.framesDir, &refusal)) {
    std::fprintf(stderr, "lumivaara-capture: %s\n", refusal.error.c_str());
    return refusal.status;
  }
  VideoFormat format;
  if (!opt.videoFile.empty()) {
    format.file = opt.videoFile;
    format.width = opt.width;
    format.height = opt.height;
    format.fps = opt.fps;
    format.crf = opt.crf;
    format.preset = opt.preset;
    format.lossless = opt.lossless;
    const std::string music = assetPath("Music/virtaus.ogg");
    struct stat st;
    if (stat(music.c_str(), &st) == 0) format.audioFile = music;
    format.audioStartMs = frameTimeMs(firstWritten, opt.fps);
    std::string note;
    if (!checkVideoOutput(format, &note, &refusal)) {
      std::fprintf(stderr, "lumivaara-capture: %s\n", refusal.error.c_str());
      return refusal.status;
    }
    if (!note.empty()) std::fprintf(stderr, "lumivaara-capture: %s\n", note.c_str());
  }
  VideoEncoder video;
  if (!opt.videoFile.empty()) {
    // Started before the host so a missing ffmpeg is reported at once.
    if (!openVideoEncoder(video, format, &error)) {
      std::fprintf(stderr, "lumivaara-capture: %s\n", error.c_str());
      return 1;
    }
  }
  HeadlessContext ctx;
  markStep(startup, "options and output checks");
  auto demo = std::make_unique<Demo>();
  // The statistics line belongs to the demo's console, not to a capture.
  demo->rayStats.printLines = false;
  demo->startup = startup;
  markStep(demo->startup, "the demo's memory");
  if (!startOfflineHost(ctx, *demo, opt.width, opt.height, &error,
                        RenderRequest{opt.renderGiven, opt.render, opt.glGiven, opt.gl})) {
    // The context reads the GL's size limits before it asks for the pbuffer.
    const bool sizeRefused = !checkOutputSize(opt.width, opt.height, ctx, &refusal);
    std::fprintf(stderr, "lumivaara-capture: %s\n",
                 sizeRefused ? refusal.error.c_str() : ("no off-screen OpenGL: " + error).c_str());
    if (!opt.videoFile.empty()) closeVideoEncoder(video, &error);
    return sizeRefused ? refusal.status : 1;
  }

  FrameWriter writer;
  OutputReadback readback;
  startFrameWriter(writer, opt.framesDir, opt.videoFile.empty() ? nullptr : &video, opt.width,
                   opt.height, kFramePool);
  startOutputReadback(demo->gfx, readback, opt.width, opt.height, kReadbackDepth);

  // The undrawn part first, timed apart: it is not the drawing rate.
  const int64_t skipStarted = tickNanoseconds();
  const long long skipped = runUndrawnFrames(*demo, firstWritten, opt.fps, opt.drawAll);
  const double skipSeconds = (tickNanoseconds() - skipStarted) * 1e-9;
  if (skipped > 0) markStep(demo->startup, "frames before --from");

  Progress progress;
  startProgress(progress, frameCount - skipped, !opt.quiet);
  bool ok = true;
  for (long long i = skipped; i < frameCount && ok; ++i) {
    const int t = frameTimeMs(i, opt.fps);
    renderFrame(*demo, t);
    if (i == skipped && opt.timings) {
      finishDrawing(demo->gfx);
      markStep(demo->startup, "first frame");
      std::fprintf(stderr, "lumivaara-capture: start-up\n%s",
                   formatTimings(demo->startup).c_str());
    }
    if (i >= firstWritten) {
      if (readback.pending == readback.depth) ok = passOldestFrame(readback, writer, &error);
      beginOutputRead(readback, t);
    }
    stepProgress(progress);
  }
  while (ok && readback.pending > 0) ok = passOldestFrame(readback, writer, &error);
  stopOutputReadback(readback);
  if (!finishFrameWriter(writer)) {
    ok = false;
    error = writer.error;
  }
  finishProgress(progress);
  if (!ok) std::fprintf(stderr, "lumivaara-capture: %s\n", error.c_str());
  // What was saved: the frames every output took, but an unfinished video
  // holds none for certain, which leaves the PNGs, if any.
  long long saved = writer.written;
  if (!opt.videoFile.empty()) {
    std::string why;
    if (!closeVideoEncoder(video, &why)) {
      std::fprintf(stderr, "lumivaara-capture: %s; %s is not complete\n", why.c_str(),
                   opt.videoFile.c_str());
      ok = false;
      saved = opt.framesDir.empty() ? 0 : writer.pngs;
    }
  }
  if (skipped > 0)
    std::fprintf(stderr,
                 "lumivaara-capture: %lld frames before %d ms advanced without drawing in %.2f s\n",
                 skipped, frameTimeMs(skipped, opt.fps), skipSeconds);
  const double seconds = progressSeconds(progress);
  const double achieved = seconds > 0 ? progress.done / seconds : 0;
  const double rendered = double(progress.done) / opt.fps;
  std::fprintf(stderr,
               "lumivaara-capture: %lld frames rendered, %lld written (%d..%d ms at %d fps) in %.1f s: "
               "%.1f fps, %.2f x real time\n",
               progress.done, saved,
               opt.fromMs, opt.toMs, opt.fps, seconds, achieved,
               rendered > 0 ? seconds / rendered : 0.0);
  destroyHeadlessContext(ctx);
  return ok ? 0 : 1;
}
