// The host without a window: the same start-up and frame function in an
// off-screen context, driven by a frame clock instead of the music.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "host/render_path.h"
// What every frame-clock driver of this host uses with it: the frame times
// and the seek (seek.h), and reading the output back (screen.h).
#include "host/screen.h"
#include "host/seek.h"
#include "platform/headless_context.h"

struct Demo;
struct Gfx;

// Creates the context (at least the 512 x 384 scene region), sets the output
// size and runs the same start-up as the window.
bool startOfflineHost(HeadlessContext& ctx, Demo& demo, int width, int height,
                      std::string* error, const RenderRequest& request = {});

// Reads the output back through two or three pixel buffer objects in turn:
// a frame's copy is started after it renders and taken only when its buffer
// comes round again, so on a graphics card the copy overlaps the rendering
// of the next frames. The frames hold the pixels readOutputPixels gives, in
// the framebuffer's own four-byte order, which the driver copies as it is.
struct OutputReadback {
  Gfx* gfx = nullptr;
  int width = 0;
  int height = 0;
  int depth = 0;             // buffers in turn
  unsigned buffers[3] = {};
  int tags[3] = {};          // caller's label of each pending frame
  int oldest = 0;            // buffer of the oldest pending frame
  int pending = 0;
};

// depth 1..3 buffers for width x height frames.
void startOutputReadback(Gfx& gfx, OutputReadback& r, int width, int height, int depth);
// Starts reading the current output; needs pending < depth.
void beginOutputRead(OutputReadback& r, int tag);
// The oldest pending frame, top row first, 4 bytes per pixel (blue, green,
// red, unused) into bgrx (width * height * 4 bytes); its tag into *tag.
// Needs pending > 0. False when the driver could not map the buffer.
bool finishOutputRead(OutputReadback& r, unsigned char* bgrx, int* tag);
void stopOutputReadback(OutputReadback& r);

// Three bytes a pixel, red first, from `pixels` four-byte BGRX pixels.
void bgrxToRgb(const unsigned char* bgrx, size_t pixels, unsigned char* rgb);
