// LightShafts: a scene's light and its screen-space shaft effect.
//
// The light's position and colour are read by the ray-caster and the mesh
// renderer, which also lower its occlusion mask (a coarse gridWidth x
// gridHeight image of where the light can be seen). drawShafts projects the
// light, builds a glow image from precomputed radial tables, multiplies it by
// the mask, smears it towards the light in zoom passes, tone-maps it through
// the palette and adds it over the frame as one textured quad.
//
// All images are 16-bit integer cells; only the final quad is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/ray_noise.h"
#include "gfx/gfx.h"
#include "effects/shaft_stats.h"
#include "math/vector3.h"
#include "math/view_camera.h"

// Noise-clock weights for one draw.
struct NoiseColumns {
  int32_t c0 = 0, c1 = 0;  // time columns of rayNoise
  int32_t w0 = 0, w1 = 0;  // their weights, 0..256
};

// One drawing of a light's shafts as a frame's advance decides it, without
// GL: where the light falls on the grid, how strongly, and the noise
// columns. A scene's state keeps it for the draw.
struct ShaftStep {
  float projectedX = 0;  // 1/256 grid cells from the grid centre
  float projectedY = 0;
  float effectiveIntensity = 0;  // 0: the light is behind or hidden, nothing drawn
  NoiseColumns noise;
};

struct LightShafts;

// The flare a light shows before anything set it: the ray-caster sets it for
// every frame it casts; scenes without one set it themselves.
constexpr float kDefaultFlare = 1.0f;

// The light at `position` seen by `camera` (orthonormal) with the flare
// `visibleFlare`; where it shows, the shared noise clock advances by
// noiseDeltaMs at the light's noise speed.
ShaftStep stepShafts(const LightShafts& light, const ViewCamera& camera, const Vector3& position,
                     float visibleFlare, int noiseDeltaMs, float& noiseClock);
// The picture of a step, added over the band: needs the occlusion mask of
// this frame. Counts its time in `stats`.
void drawShaftStep(Gfx& gfx, LightShafts& light, const ShaftStep& step, ShaftStats& stats);

struct LightShafts {
  // Builds the tables; the texture is made on the first draw.
  LightShafts(int gridWidth, int gridHeight, int tableWidth, int tableHeight,
              float falloffRadius, float falloffExponent);
  // The images point into owned storage; a copy would alias them.
  LightShafts(const LightShafts&) = delete;
  LightShafts& operator=(const LightShafts&) = delete;

  ViewCamera* camera = nullptr;  // set by the scene before the first draw
  Vector3 position;
  float projectedX = 0;  // 1/256 grid cells from the grid centre
  float projectedY = 0;

  int32_t gridWidth;
  int32_t gridHeight;
  int32_t cellCount;
  int32_t halfGridWidth;
  int32_t halfGridHeight;
  int32_t passCounter = 1;  // counts zoom passes; no effect on the picture

  // Cell images, row-major, gridWidth per row. occlusionMask and scratch
  // exchange buffers while the mask is smoothed, so always index through
  // these pointers.
  int16_t* occlusionMask;
  int16_t* scratch;
  int16_t* shaftImage;
  int16_t* coreImage;

  // Radial glow tables, tableWidth x tableHeight, row-major.
  std::vector<int32_t> falloffTable;
  std::vector<int32_t> angleTable;
  std::vector<int32_t> ringTable;
  int32_t tableWidth;
  int32_t tableHeight;
  int32_t halfTableWidth;
  int32_t halfTableHeight;

  float flareIntensity = 0;
  float visibleFlare = kDefaultFlare;  // this frame's; the ray-caster zeroes it when hidden
  float effectiveIntensity = 1.0f;
  float colour[3] = {0, 0, 0};
  uint8_t noFlareTest = 0;
  int32_t maskFullValue = 255;
  float falloffRadius;
  float falloffExponent;
  Vector3 glowShape{0.05f, 0.3f, 5.0f};
  Vector3 spotDirection;
  int32_t zoomPasses = 6;

  std::vector<uint8_t> rgbImage;  // gridWidth x gridWidth x 3 upload buffer
  RayNoise rayNoise;  // read where rayNoiseOn

  uint8_t smoothMask = 1;
  float shaftLength = 0;
  float toneGain = 2.0f;
  uint8_t expTone = 1;
  float shaftSpread = 0.215f;
  float zoomLength = 0;
  uint8_t rayNoiseOn = 0;
  float noiseSpeed = 64.0f;
  float noiseMix = 1.0f;

  // Colour lookup, 65536 entries each so any 16-bit index is in range.
  std::vector<uint8_t> paletteR;
  std::vector<uint8_t> paletteG;
  std::vector<uint8_t> paletteB;

  TextureName texture = 0;  // gridWidth x gridWidth RGB, made on the first draw

  // colour = (r, g, b); entries 0..255 become (channel * i / 255)^(2^power).
  void setPalette(float r, float g, float b, int pr, int pg, int pb);
  // Every mask cell and maskFullValue become value.
  void fillMask(int16_t value);
  // One frame of the effect at visibleFlare, drawn additively over the band,
  // with the ray noise at `noiseClock` (the frame's advance moved it); counts
  // into `stats`.
  void drawShafts(Gfx& gfx, float noiseClock, ShaftStats& stats);

  int32_t rayNoiseAt(int row, int column) const { return (*rayNoise)[row * 256 + column]; }

 private:
  std::vector<int16_t> storage_;  // the four cell images, back to back
};
