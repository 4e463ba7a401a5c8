// The one layer every draw, copy and read of the frame goes through. It
// speaks the demo's terms (passes, band-sized pictures, masks); the backend
// behind it speaks GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "gfx/gl_api.h"
#include "gfx/pass_state.h"
#include "math/mat4.h"

// A texture's name; the loader's image slots are names 1 to 40.
using TextureName = unsigned;

// What the OpenGL ES backend keeps per context (programs, buffers,
// framebuffers, what each texture holds); made on its first use.
struct EsBackend;
struct EsBackendRelease {
  void operator()(EsBackend* backend) const;
};

// The layer's handle, made with the context and handed to every call: the
// API it draws with and what that API's backend keeps.
struct Gfx {
  GlApi api = GlApi::kDesktop;
  // The blur taps' one-quad program (drawBlurTaps): made once per context,
  // 0 where the context has no shaders (then the taps draw as four quads).
  struct BlurTapsProgram {
    unsigned program = 0;
    int spreadLocation = -1;
    bool made = false;
  } blurTaps;
  std::unique_ptr<EsBackend, EsBackendRelease> es;
};

// Readies the layer for the context just made current with `api`: on ES
// its programs and buffers, so that no frame pays the compile.
void startGfx(Gfx& gfx, GlApi api);
// Releases what the backend made, while its context is still current.
void stopGfx(Gfx& gfx);

// Position, colour, texture coordinates: the layout of every vertex array
// the demo draws, the ray grid's and the terrain's included.
struct Vertex {
  float x, y, z;
  float r, g, b, a;
  float s, t;
};

// A mesh corner: texture coordinates, normal, position.
struct MeshVertex {
  float s, t;
  float nx, ny, nz;
  float x, y, z;
};

// One light and the material it meets, lit as GL's fixed-function pipeline
// lights a vertex: no spot cone, the light's ambient white, the vertex colour
// taken as the diffuse material.
struct Lighting {
  Mat4 placedBy = identityMatrix();  // the modelview the position is given in
  float position[4] = {0, 0, 1, 0};  // w 0: a direction
  float colour[3] = {1, 1, 1};       // diffuse and specular
  float materialAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
  float materialSpecular[4] = {0, 0, 0, 1};
  float shininess = 0;
  float attenuation[3] = {1, 0, 0};  // constant, linear, quadratic
};

// Everything a draw depends on besides its vertices.
struct Pass {
  PassState state;
  PixelRect viewport;
  Mat4 projection = identityMatrix();
  Mat4 modelview = identityMatrix();
  TextureName texture = 0;
};

// GL_QUADS order: four corners a quad, counter-clockwise as the demo gives
// them. Lines take two vertices each.
void drawQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);
void drawLines(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);

// Quads from `vertices` in runs that differ only in their texture (the
// pass's own is not used), drawn in order: one pass, its state set once, so
// hundreds of runs a frame cost one pass and a texture bind each.
struct QuadRun {
  TextureName texture;
  int firstQuad;
  int quadCount;
};
void drawQuadRuns(Gfx& gfx, const Pass& pass, const Vertex* vertices, const QuadRun* runs,
                  int runCount);

// Indexed triangles in one colour: the diffuse material where the pass is
// lit, texture coordinates from the corners unless sphere-mapped.
void drawMesh(Gfx& gfx, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount);

// Quads each split into triangles (0, 1, 3) and (1, 2, 3), as GL split the
// credits' quads drawn one at a time; drawQuads' split rounds a level apart
// from it in a few pixels of such a textured overlay.
void drawSingleQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count);

// The whole frame (any scissor aside) to `colour`, and depth to the far
// plane where `depthToo`.
void clearFrame(Gfx& gfx, const Colour& colour, bool depthToo = false);
// Depth alone, to the far plane.
void clearDepth(Gfx& gfx);

enum class Wrap : unsigned char { kRepeat, kClampToEdge, kClampToBorder };
enum class Filter : unsigned char { kLinear, kNearest };
enum class PixelFormat : unsigned char { kRgb, kRgba };

// Fills `name` with a w x h picture (pixels may be null: zeros), stored
// with `stored` channels whatever `given` has; rows are tightly packed.
void defineTexture(Gfx& gfx, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter);
TextureName createTexture(Gfx& gfx);
void deleteTexture(Gfx& gfx, TextureName name);
// Replaces a w x h rectangle at (x, y) of an existing texture.
void updateTexture(Gfx& gfx, TextureName name, int x, int y, int width, int height,
                   PixelFormat given, const void* pixels);
// The frame's rectangle `from` into the texture's lower-left corner.
void copyFrameToTexture(Gfx& gfx, TextureName name, const PixelRect& from);
// The whole of a texture as RGBA bytes, rows from the bottom.
void readTexture(Gfx& gfx, TextureName name, uint8_t* rgba);

// The frame's rectangle as tightly packed bytes, rows from the bottom.
void readFrameRgb(Gfx& gfx, const PixelRect& rect, uint8_t* rgb);
void readFrameRgba(Gfx& gfx, const PixelRect& rect, uint8_t* rgba);
// Only the blue channel of the rectangle, one byte a pixel.
void readFrameBlue(Gfx& gfx, const PixelRect& rect, uint8_t* blue);
// The depth of the rectangle, 0 (near) to 1 (far), one float a pixel.
void readFrameDepth(Gfx& gfx, const PixelRect& rect, float* depth);

// Waits until every command given so far has been carried out.
void finishDrawing(Gfx& gfx);

// The renderer's name as the driver gives it ("" if it gives none).
std::string rendererName(Gfx& gfx);
// The API and its version, "OpenGL ES 3.2" or "OpenGL 4.5".
std::string apiName(Gfx& gfx);

// Blends weigh by destination alpha, which must read as 1: where the driver
// gave the frame an alpha channel anyway, fills it with 1 and writes it no
// more. Called once, when the context is new.
void keepDestinationAlphaOpaque(Gfx& gfx);

// Reads of the frame that finish later, through buffers of the layer's own,
// so that a graphics card keeps drawing while the copy runs.
unsigned createPixelBuffer(Gfx& gfx, size_t bytes);
void deletePixelBuffer(Gfx& gfx, unsigned buffer);
// Starts copying the rectangle into `buffer`.
void readFrameLater(Gfx& gfx, unsigned buffer, const PixelRect& rect);
// Waits for that copy and puts it into `bgrx`, four bytes a pixel (blue,
// green, red, unused), rows from the top; false where it cannot be mapped.
bool takeFrameRead(Gfx& gfx, unsigned buffer, int width, int height, uint8_t* bgrx);

// --- The feedback effects' blur taps ---

// Each blur tap weighs a little over a quarter, so four taps slightly
// brighten instead of losing a step to rounding.
constexpr float kBlurTapWeight = 0.25390625f;

// Makes the blur taps' program where the context has shaders, once per Gfx
// (loading calls it, so that no frame pays the compile).
void prepareBlurTaps(Gfx& gfx);
// Four taps of the pass's texture at (+-spread, +-spread) from the quad's
// texture coordinates, each weighed by kBlurTapWeight and added under the
// pass's blend: one quad summing them where the context has shaders, else
// four quads of colour (0, 0, 0, kBlurTapWeight) under the pass's combine.
// The quad's own colours are not used.
void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread);
