// The two backends behind gfx.h: the same calls, one namespace each; gfx.cpp
// picks one by Gfx::api.
#pragma once

#include "gfx/gfx.h"

namespace desktop {
void drawQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void drawLines(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void drawMesh(Gfx& gfx, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount);
void drawSingleQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void clearFrame(Gfx& gfx, const Colour& colour, bool depthToo);
void clearDepth(Gfx& gfx);
void defineTexture(Gfx& gfx, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter);
TextureName createTexture(Gfx& gfx);
void deleteTexture(Gfx& gfx, TextureName name);
void updateTexture(Gfx& gfx, TextureName name, int x, int y, int width, int height,
                   PixelFormat given, const void* pixels);
void copyFrameToTexture(Gfx& gfx, TextureName name, const PixelRect& from);
void readTexture(Gfx& gfx, TextureName name, uint8_t* rgba);
void readFrameRgb(Gfx& gfx, const PixelRect& rect, uint8_t* rgb);
void readFrameRgba(Gfx& gfx, const PixelRect& rect, uint8_t* rgba);
void readFrameBlue(Gfx& gfx, const PixelRect& rect, uint8_t* blue);
void readFrameDepth(Gfx& gfx, const PixelRect& rect, float* depth);
void finishDrawing(Gfx& gfx);
std::string rendererName(Gfx& gfx);
std::string apiName(Gfx& gfx);
void keepDestinationAlphaOpaque(Gfx& gfx);
unsigned createPixelBuffer(Gfx& gfx, size_t bytes);
void deletePixelBuffer(Gfx& gfx, unsigned buffer);
void readFrameLater(Gfx& gfx, unsigned buffer, const PixelRect& rect);
bool takeFrameRead(Gfx& gfx, unsigned buffer, int width, int height, uint8_t* bgrx);
void prepareBlurTaps(Gfx& gfx);
void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread);
}  // namespace desktop

namespace es {
// Makes the programs and buffers (Gfx::es) on the current ES context.
void start(Gfx& gfx);
void drawQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void drawLines(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void drawMesh(Gfx& gfx, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount);
void drawSingleQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void clearFrame(Gfx& gfx, const Colour& colour, bool depthToo);
void clearDepth(Gfx& gfx);
void defineTexture(Gfx& gfx, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter);
TextureName createTexture(Gfx& gfx);
void deleteTexture(Gfx& gfx, TextureName name);
void updateTexture(Gfx& gfx, TextureName name, int x, int y, int width, int height,
                   PixelFormat given, const void* pixels);
void copyFrameToTexture(Gfx& gfx, TextureName name, const PixelRect& from);
void readTexture(Gfx& gfx, TextureName name, uint8_t* rgba);
void readFrameRgb(Gfx& gfx, const PixelRect& rect, uint8_t* rgb);
void readFrameRgba(Gfx& gfx, const PixelRect& rect, uint8_t* rgba);
void readFrameBlue(Gfx& gfx, const PixelRect& rect, uint8_t* blue);
void readFrameDepth(Gfx& gfx, const PixelRect& rect, float* depth);
void finishDrawing(Gfx& gfx);
std::string rendererName(Gfx& gfx);
std::string apiName(Gfx& gfx);
void keepDestinationAlphaOpaque(Gfx& gfx);
unsigned createPixelBuffer(Gfx& gfx, size_t bytes);
void deletePixelBuffer(Gfx& gfx, unsigned buffer);
void readFrameLater(Gfx& gfx, unsigned buffer, const PixelRect& rect);
bool takeFrameRead(Gfx& gfx, unsigned buffer, int width, int height, uint8_t* bgrx);
void prepareBlurTaps(Gfx& gfx);
void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread);
}  // namespace es
