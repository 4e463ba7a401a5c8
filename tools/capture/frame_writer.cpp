#include "frame_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/offline_host.h"
#include "textures/png_writer.h"

// Writes one frame to every output; false with *error set on the first failure.
static bool writeFrame(FrameWriter& w, const CapturedFrame& f, std::string* error) {
  if (!w.framesDir.empty()) {
    // Written under a temporary name and renamed when whole, so a failed or
    // interrupted write never leaves a truncated frame under a frame's name.
    char name[32], temporary[40];
    std::snprintf(name, sizeof name, "/%06d.png", f.timeMs);
    std::snprintf(temporary, sizeof temporary, "/.%06d.png.part", f.timeMs);
    const std::string path = w.framesDir + name, partial = w.framesDir + temporary;
    bgrxToRgb(f.bgrx.data(), w.rgb.size() / 3, w.rgb.data());
    if (!writePng(partial, w.rgb.data(), w.width, w.height) ||
        std::rename(partial.c_str(), path.c_str()) != 0) {
      const int why = errno;
      std::remove(partial.c_str());
      *error = "cannot write " + path + ": " + std::strerror(why);
      return false;
    }
    ++w.pngs;
  }
  if (w.video && !writeVideoFrame(*w.video, f.bgrx.data(), f.bgrx.size())) {
    char at[64];
    std::snprintf(at, sizeof at, "ffmpeg stopped reading frames at %d ms", f.timeMs);
    *error = at;
    return false;
  }
  return true;
}

static void runWorker(FrameWriter* w) {
  for (;;) {
    CapturedFrame* f = nullptr;
    {
      std::unique_lock<std::mutex> hold(w->lock);
      w->changed.wait(hold, [w] { return !w->queued.empty() || w->closing; });
      if (w->queued.empty()) return;
      f = w->queued.front();
      w->queued.pop_front();
    }
    std::string error;
    const bool ok = writeFrame(*w, *f, &error);
    std::lock_guard<std::mutex> hold(w->lock);
    w->free.push_back(f);
    if (ok) {
      ++w->written;
    } else {
      w->failed = true;
      w->error = error;
      w->queued.clear();
    }
    w->changed.notify_all();
    if (!ok) return;
  }
}

void startFrameWriter(FrameWriter& w, const std::string& framesDir, VideoEncoder* video,
                      int width, int height, int poolSize) {
  w.framesDir = framesDir;
  w.video = video;
  w.width = width;
  w.height = height;
  const size_t pixels = static_cast<size_t>(width) * height;
  if (!framesDir.empty()) w.rgb.resize(pixels * 3);
  w.pool.resize(static_cast<size_t>(poolSize));
  for (CapturedFrame& f : w.pool) {
    f.bgrx.resize(pixels * 4);
    w.free.push_back(&f);
  }
  w.worker = std::thread(runWorker, &w);
}

CapturedFrame* takeFreeFrame(FrameWriter& w) {
  std::unique_lock<std::mutex> hold(w.lock);
  w.changed.wait(hold, [&w] { return !w.free.empty() || w.failed; });
  if (w.failed) return nullptr;
  CapturedFrame* f = w.free.front();
  w.free.pop_front();
  return f;
}

void queueFrame(FrameWriter& w, CapturedFrame* frame) {
  std::lock_guard<std::mutex> hold(w.lock);
  if (w.failed) {
    w.free.push_back(frame);
    return;
  }
  w.queued.push_back(frame);
  w.changed.notify_all();
}

bool finishFrameWriter(FrameWriter& w) {
  {
    std::lock_guard<std::mutex> hold(w.lock);
    w.closing = true;
    w.changed.notify_all();
  }
  if (w.worker.joinable()) w.worker.join();
  return !w.failed;
}
