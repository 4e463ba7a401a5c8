// The capture's output stage on its own thread: PNG compression and the
// pipe into ffmpeg run while the next frames render. Frames travel in a small
// pool of buffers, so a slow output holds the renderer back instead of
// letting frames pile up in memory.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "video_encoder.h"

struct CapturedFrame {
  std::vector<unsigned char> bgrx;  // width x height, top row first, 4 bytes a pixel
  int timeMs = 0;
};

struct FrameWriter {
  std::string framesDir;          // PNGs when set
  VideoEncoder* video = nullptr;  // piped when set
  int width = 0;
  int height = 0;
  std::vector<CapturedFrame> pool;
  std::vector<unsigned char> rgb;  // the worker's PNG rows
  std::deque<CapturedFrame*> free;
  std::deque<CapturedFrame*> queued;
  std::mutex lock;
  std::condition_variable changed;
  bool closing = false;
  bool failed = false;
  std::string error;       // why it failed
  long long written = 0;   // frames every output took
  long long pngs = 0;      // PNG files saved whole
  std::thread worker;
};

// Starts the worker with `poolSize` buffers of width x height.
void startFrameWriter(FrameWriter& w, const std::string& framesDir, VideoEncoder* video,
                      int width, int height, int poolSize);
// A buffer to fill, waiting while all are queued; nullptr once the writer failed.
CapturedFrame* takeFreeFrame(FrameWriter& w);
// Hands a filled buffer to the worker; frames are written in this order.
void queueFrame(FrameWriter& w, CapturedFrame* frame);
// Writes what is queued, stops the worker; false with w.error set if an output failed.
bool finishFrameWriter(FrameWriter& w);
