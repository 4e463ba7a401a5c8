#include "host/offline_host.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "host/host.h"

bool startOfflineHost(HeadlessContext& ctx, Demo& demo, int width, int height,
                      std::string* error, const RenderRequest& request) {
  // The scene region is drawn at the lower left whatever the output size.
  if (!createHeadlessContext(ctx, std::max(width, 512), std::max(height, 384), error))
    return false;
  markStep(demo.startup, "off-screen context");
  demo.screenWidth = width;
  demo.screenHeight = height;
  initGl(demo, request);
  return true;
}

int frameTimeMs(long long index, int fps) { return static_cast<int>(index * 1000 / fps); }

void readOutputPixels(int width, int height, std::vector<unsigned char>& rgb) {
  const size_t row = static_cast<size_t>(width) * 3;
  rgb.resize(row * height);
  std::vector<unsigned char> bottomUp(rgb.size());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  for (int y = 0; y < height; ++y)
    std::memcpy(&rgb[y * row], &bottomUp[(height - 1 - y) * row], row);
}

void startOutputReadback(OutputReadback& r, int width, int height, int depth) {
  r = OutputReadback{};
  r.width = width;
  r.height = height;
  r.depth = std::min(std::max(depth, 1), 3);
  glGenBuffers(r.depth, r.buffers);
  for (int i = 0; i < r.depth; ++i) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, r.buffers[i]);
    glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(width) * height * 4, nullptr,
                 GL_STREAM_READ);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

void beginOutputRead(OutputReadback& r, int tag) {
  const int slot = (r.oldest + r.pending) % r.depth;
  r.tags[slot] = tag;
  ++r.pending;
  // Four bytes a pixel in the framebuffer's own order: a plain copy for the
  // driver, where three-byte RGB would be converted before the map.
  glBindBuffer(GL_PIXEL_PACK_BUFFER, r.buffers[slot]);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, r.width, r.height, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  // Unbound at once: the scenes' own read-backs go to client memory.
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

bool finishOutputRead(OutputReadback& r, unsigned char* bgrx, int* tag) {
  const int slot = r.oldest;
  r.oldest = (r.oldest + 1) % r.depth;
  --r.pending;
  *tag = r.tags[slot];
  glBindBuffer(GL_PIXEL_PACK_BUFFER, r.buffers[slot]);
  const unsigned char* mapped =
      static_cast<const unsigned char*>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
  if (!mapped) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return false;
  }
  // Only the row order changes here; the rest waits for the writer thread.
  const size_t row = static_cast<size_t>(r.width) * 4;
  for (int y = 0; y < r.height; ++y)
    std::memcpy(bgrx + y * row, mapped + (r.height - 1 - y) * row, row);
  glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return true;
}

void bgrxToRgb(const unsigned char* bgrx, size_t pixels, unsigned char* rgb) {
  for (size_t i = 0; i < pixels; ++i, bgrx += 4, rgb += 3) {
    rgb[0] = bgrx[2];
    rgb[1] = bgrx[1];
    rgb[2] = bgrx[0];
  }
}

void stopOutputReadback(OutputReadback& r) {
  if (r.depth > 0) glDeleteBuffers(r.depth, r.buffers);
  r = OutputReadback{};
}
