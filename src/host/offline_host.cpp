#include "host/offline_host.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "host/host.h"

bool startOfflineHost(HeadlessContext& ctx, int width, int height, std::string* error) {
  // The scene region is drawn at the lower left whatever the output size.
  if (!createHeadlessContext(ctx, std::max(width, 512), std::max(height, 384), error))
    return false;
  screenWidth = width;
  screenHeight = height;
  initGl();
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
