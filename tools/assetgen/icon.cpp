#include "icon.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "image_generators.h"
#include "picture.h"
#include "textures/png_writer.h"

namespace {

const float kPi = 3.14159265f;
const float kTilt = -0.38f;        // the ring plane's turn on screen, radians
const float kFlatten = 0.30f;      // how far the ring is seen edge-on
const float kPlanetRadius = 0.29f;  // of the icon's side
const float kRingInner = 0.35f;
const float kRingOuter = 0.49f;

Rgb sample(const Picture& p, float u, float v) {
  const int x = std::clamp(int(u * p.width), 0, p.width - 1);
  const int y = std::clamp(int(v * p.height), 0, p.height - 1);
  return p.at(x, y);
}

struct Coverage {
  Rgb colour;
  float alpha = 0;
};

// One sample point of the icon, in units of its side, centred.
Coverage shade(float px, float py, const Picture& planet, const Picture& ring) {
  // Into the planet's frame, where its bands and the ring lie level.
  const float c = std::cos(kTilt), s = std::sin(kTilt);
  const float x = c * px - s * py, y = s * px + c * py;

  const float ringV = y / kFlatten;
  const float ringR = std::sqrt(x * x + ringV * ringV);
  const bool onRing = ringR >= kRingInner && ringR <= kRingOuter;
  Coverage ringCov;
  if (onRing) {
    // The ring picture's colours run outwards from its centre.
    const float t = (ringR - kRingInner) / (kRingOuter - kRingInner);
    ringCov.colour = sample(ring, 0.5f + 0.5f * (0.3f + 0.7f * t), 0.5f);
    const float edge = std::min(t, 1 - t);
    ringCov.alpha = std::min(1.0f, 0.75f + edge * 4);
    ringCov.colour = scale(ringCov.colour, 1.25f);
  }

  const float d2 = x * x + y * y;
  const float r2 = kPlanetRadius * kPlanetRadius;
  const bool ringInFront = y > 0;  // the near half crosses the planet's lower part
  if (d2 < r2) {
    const float nx = x / kPlanetRadius, ny = y / kPlanetRadius;
    const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    const float lon = std::atan2(nx, nz), lat = std::asin(ny);
    Rgb base = sample(planet, 0.5f + lon / (2 * kPi), 0.5f + lat / kPi);
    // Light from the upper left, in front.
    const float lx = -0.55f, ly = -0.45f, lz = 0.70f;
    const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    float light = 0.12f + 1.05f * diffuse;
    // The ring's shadow falls on the planet just above its near half.
    const float shadowV = (y + 0.06f) / kFlatten;
    const float shadowR = std::sqrt(x * x + shadowV * shadowV);
    if (y < 0 && shadowR >= kRingInner && shadowR <= kRingOuter) light *= 0.45f;
    Coverage cov{scale(base, light), 1};
    if (onRing && ringInFront) {
      // A dark rim on either side keeps the ring apart from the bands behind.
      const float t = (ringR - kRingInner) / (kRingOuter - kRingInner);
      const float rim = std::min(t, 1 - t) < 0.07f ? 0.25f : 1.15f;
      cov.colour = mix(cov.colour, scale(ringCov.colour, rim), ringCov.alpha);
    }
    return cov;
  }
  return ringCov;
}

}  // namespace

std::vector<uint8_t> paintIcon(int side) {
  const Picture planet = makeGasGiant(256);
  const Picture ring = makePlanetRing(512);
  std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
  const int n = 4;  // n x n samples per pixel smooth the edges
  for (int py = 0; py < side; ++py) {
    for (int px = 0; px < side; ++px) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const float x = (px + (sx + 0.5f) / n) / side - 0.5f;
          const float y = (py + (sy + 0.5f) / n) / side - 0.5f;
          const Coverage c = shade(x, y, planet, ring);
          r += c.colour.r * c.alpha;
          g += c.colour.g * c.alpha;
          b += c.colour.b * c.alpha;
          a += c.alpha;
        }
      }
      uint8_t* out = &rgba[(size_t(py) * side + px) * 4];
      const float k = a > 0 ? 1 / a : 0;
      auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
      out[0] = byte(r * k);
      out[1] = byte(g * k);
      out[2] = byte(b * k);
      out[3] = byte(a / (n * n));
    }
  }
  return rgba;
}

bool writeIcons(const std::string& outDir) {
  bool ok = true;
  std::string dir = outDir + "/Icons";
  mkdir(dir.c_str(), 0755);
  for (int side : {32, 48, 64, 128, 256}) {
    const std::string sized = dir + "/" + std::to_string(side) + "x" + std::to_string(side);
    mkdir(sized.c_str(), 0755);
    const std::string path = sized + "/lumivaara.png";
    if (!writePngRgba(path, paintIcon(side).data(), side, side)) {
      std::fprintf(stderr, "lumivaara-assetgen: cannot write %s\n", path.c_str());
      ok = false;
    }
  }
  return ok;
}
