#include "host/screen.h"

#include <cstring>

#include "gfx/scene_region.h"
#include "host/demo.h"
#include "host/letterbox.h"

void setScreenSize(Demo& demo, int width, int height) {
  if (height == 0) return;
  demo.screenWidth = width;
  demo.screenHeight = height;
}

// Black over the drawable outside the 4:3 rectangle. Drawn rather than
// cleared: the clear inside keeps the scene's clear colour.
static void blackenOutside(Demo& demo, const ViewRect& r) {
  const int screenWidth = demo.screenWidth, screenHeight = demo.screenHeight;
  if (r.width == screenWidth && r.height == screenHeight) return;
  Pass pass;
  pass.viewport = PixelRect{0, 0, screenWidth, screenHeight};
  pass.projection = ortho(identityMatrix(), 0, screenWidth, 0, screenHeight, 0.1, 100000);
  const float x0 = static_cast<float>(r.x), x1 = static_cast<float>(r.x + r.width);
  const float y0 = static_cast<float>(r.y), y1 = static_cast<float>(r.y + r.height);
  const float w = static_cast<float>(screenWidth), h = static_cast<float>(screenHeight);
  const float strips[4][4] = {{0, 0, x0, h}, {x1, 0, w, h}, {x0, 0, x1, y0}, {x0, y1, x1, h}};
  BandQuad quads[4];
  for (int i = 0; i < 4; ++i)
    quads[i] = flatQuad(strips[i][0], strips[i][1], strips[i][2], strips[i][3], 0, 0, 0, 0, kBlack);
  drawQuads(demo.gfx, pass, quads[0].corners, 16);
}

void createScreenTexture(Demo& demo) {
  demo.screenTexture = createTexture(demo.gfx);
  defineTexture(demo.gfx, demo.screenTexture, kBandRect.width, kBandRect.height,
                PixelFormat::kRgb, PixelFormat::kRgb, nullptr, Wrap::kClampToBorder,
                Filter::kLinear);
}

void presentBand(Demo& demo) {
  copyFrameToTexture(demo.gfx, demo.screenTexture, kBandRect);
  clearFrame(demo.gfx, demo.state.director.clearColour);
  const ViewRect r = letterboxRect(demo.screenWidth, demo.screenHeight);
  blackenOutside(demo, r);
  Pass pass;
  pass.state.combine = Combine::kAdd;
  pass.texture = demo.screenTexture;
  pass.viewport = PixelRect{r.x, r.y, r.width, r.height};
  pass.projection = ortho(identityMatrix(), -r.width * 0.5, r.width * 0.5, -r.height * 0.5,
                          r.height * 0.5, 0.1, 100000);
  const float sx = r.width * 0.0009765625f;
  const float sy = r.height * 0.0013020834f;
  const BandQuad band = flatQuad(-512 * sx, -256 * sy, 512 * sx, 256 * sy, 0, 0, 1, 1, kBlack);
  drawQuads(demo.gfx, pass, band.corners, 4);
}

void readOutputPixels(Gfx& gfx, int width, int height, std::vector<unsigned char>& rgb) {
  const size_t row = static_cast<size_t>(width) * 3;
  rgb.resize(row * height);
  std::vector<unsigned char> bottomUp(rgb.size());
  readFrameRgb(gfx, PixelRect{0, 0, width, height}, bottomUp.data());
  for (int y = 0; y < height; ++y)
    std::memcpy(&rgb[y * row], &bottomUp[(height - 1 - y) * row], row);
}
