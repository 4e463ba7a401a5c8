// Sends each layer call to the backend chosen with the context.
#include "gfx/backends.h"

void startGfx(Gfx& gfx, GlApi api) {
  gfx.api = api;
  if (api == GlApi::kEs) es::start(gfx);
}

void stopGfx(Gfx& gfx) { gfx.es.reset(); }

void drawQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  if (gfx.api == GlApi::kEs)
    es::drawQuads(gfx, pass, vertices, count);
  else
    desktop::drawQuads(gfx, pass, vertices, count);
}

void drawQuadRuns(Gfx& gfx, const Pass& pass, const Vertex* vertices, const QuadRun* runs,
                  int runCount) {
  if (gfx.api == GlApi::kEs)
    es::drawQuadRuns(gfx, pass, vertices, runs, runCount);
  else
    desktop::drawQuadRuns(gfx, pass, vertices, runs, runCount);
}

void drawLines(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  if (gfx.api == GlApi::kEs)
    es::drawLines(gfx, pass, vertices, count);
  else
    desktop::drawLines(gfx, pass, vertices, count);
}

void drawMesh(Gfx& gfx, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount) {
  if (gfx.api == GlApi::kEs)
    es::drawMesh(gfx, pass, lighting, colour, vertices, indices, indexCount);
  else
    desktop::drawMesh(gfx, pass, lighting, colour, vertices, indices, indexCount);
}

void drawSingleQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  if (gfx.api == GlApi::kEs)
    es::drawSingleQuads(gfx, pass, vertices, count);
  else
    desktop::drawSingleQuads(gfx, pass, vertices, count);
}

void clearFrame(Gfx& gfx, const Colour& colour, bool depthToo) {
  if (gfx.api == GlApi::kEs)
    es::clearFrame(gfx, colour, depthToo);
  else
    desktop::clearFrame(gfx, colour, depthToo);
}

void clearDepth(Gfx& gfx) {
  if (gfx.api == GlApi::kEs)
    es::clearDepth(gfx);
  else
    desktop::clearDepth(gfx);
}

void defineTexture(Gfx& gfx, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter) {
  if (gfx.api == GlApi::kEs)
    es::defineTexture(gfx, name, width, height, stored, given, pixels, wrap, filter);
  else
    desktop::defineTexture(gfx, name, width, height, stored, given, pixels, wrap, filter);
}

TextureName createTexture(Gfx& gfx) {
  return gfx.api == GlApi::kEs ? es::createTexture(gfx) : desktop::createTexture(gfx);
}

void deleteTexture(Gfx& gfx, TextureName name) {
  if (gfx.api == GlApi::kEs)
    es::deleteTexture(gfx, name);
  else
    desktop::deleteTexture(gfx, name);
}

void updateTexture(Gfx& gfx, TextureName name, int x, int y, int width, int height,
                   PixelFormat given, const void* pixels) {
  if (gfx.api == GlApi::kEs)
    es::updateTexture(gfx, name, x, y, width, height, given, pixels);
  else
    desktop::updateTexture(gfx, name, x, y, width, height, given, pixels);
}

void copyFrameToTexture(Gfx& gfx, TextureName name, const PixelRect& from) {
  if (gfx.api == GlApi::kEs)
    es::copyFrameToTexture(gfx, name, from);
  else
    desktop::copyFrameToTexture(gfx, name, from);
}

void readTexture(Gfx& gfx, TextureName name, uint8_t* rgba) {
  if (gfx.api == GlApi::kEs)
    es::readTexture(gfx, name, rgba);
  else
    desktop::readTexture(gfx, name, rgba);
}

void readFrameRgb(Gfx& gfx, const PixelRect& rect, uint8_t* rgb) {
  if (gfx.api == GlApi::kEs)
    es::readFrameRgb(gfx, rect, rgb);
  else
    desktop::readFrameRgb(gfx, rect, rgb);
}

void readFrameRgba(Gfx& gfx, const PixelRect& rect, uint8_t* rgba) {
  if (gfx.api == GlApi::kEs)
    es::readFrameRgba(gfx, rect, rgba);
  else
    desktop::readFrameRgba(gfx, rect, rgba);
}

void readFrameBlue(Gfx& gfx, const PixelRect& rect, uint8_t* blue) {
  if (gfx.api == GlApi::kEs)
    es::readFrameBlue(gfx, rect, blue);
  else
    desktop::readFrameBlue(gfx, rect, blue);
}

void readFrameDepth(Gfx& gfx, const PixelRect& rect, float* depth) {
  if (gfx.api == GlApi::kEs)
    es::readFrameDepth(gfx, rect, depth);
  else
    desktop::readFrameDepth(gfx, rect, depth);
}

void finishDrawing(Gfx& gfx) {
  if (gfx.api == GlApi::kEs)
    es::finishDrawing(gfx);
  else
    desktop::finishDrawing(gfx);
}

std::string rendererName(Gfx& gfx) {
  return gfx.api == GlApi::kEs ? es::rendererName(gfx) : desktop::rendererName(gfx);
}

std::string apiName(Gfx& gfx) {
  return gfx.api == GlApi::kEs ? es::apiName(gfx) : desktop::apiName(gfx);
}

void keepDestinationAlphaOpaque(Gfx& gfx) {
  if (gfx.api == GlApi::kEs)
    es::keepDestinationAlphaOpaque(gfx);
  else
    desktop::keepDestinationAlphaOpaque(gfx);
}

unsigned createPixelBuffer(Gfx& gfx, size_t bytes) {
  return gfx.api == GlApi::kEs ? es::createPixelBuffer(gfx, bytes)
                               : desktop::createPixelBuffer(gfx, bytes);
}

void deletePixelBuffer(Gfx& gfx, unsigned buffer) {
  if (gfx.api == GlApi::kEs)
    es::deletePixelBuffer(gfx, buffer);
  else
    desktop::deletePixelBuffer(gfx, buffer);
}

void readFrameLater(Gfx& gfx, unsigned buffer, const PixelRect& rect) {
  if (gfx.api == GlApi::kEs)
    es::readFrameLater(gfx, buffer, rect);
  else
    desktop::readFrameLater(gfx, buffer, rect);
}

bool takeFrameRead(Gfx& gfx, unsigned buffer, int width, int height, uint8_t* bgrx) {
  return gfx.api == GlApi::kEs ? es::takeFrameRead(gfx, buffer, width, height, bgrx)
                               : desktop::takeFrameRead(gfx, buffer, width, height, bgrx);
}

void prepareBlurTaps(Gfx& gfx) {
  if (gfx.api == GlApi::kEs)
    es::prepareBlurTaps(gfx);
  else
    desktop::prepareBlurTaps(gfx);
}

void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread) {
  if (gfx.api == GlApi::kEs)
    es::drawBlurTaps(gfx, pass, quad, spread);
  else
    desktop::drawBlurTaps(gfx, pass, quad, spread);
}
