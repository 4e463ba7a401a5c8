// Float RGB pictures the generators paint into, top row first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  float r = 0, g = 0, b = 0;
};

Rgb rgb(float r, float g, float b);
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);
Rgb add(Rgb a, Rgb b);
Rgb multiply(Rgb a, Rgb b);
// 0-255 components, for writing palettes of colours by hand.
Rgb rgb255(int r, int g, int b);

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> texels;

  Picture() = default;
  Picture(int w, int h) : width(w), height(h), texels(size_t(w) * size_t(h)) {}
  Rgb& at(int x, int y) { return texels[size_t(y) * size_t(width) + size_t(x)]; }
  const Rgb& at(int x, int y) const { return texels[size_t(y) * size_t(width) + size_t(x)]; }
  // Coordinates wrap around, for pictures that tile.
  Rgb& wrapped(int x, int y);
};

// Calls paint(u, v) at every texel centre, u rightwards and v downwards in [0, 1).
template <typename Paint>
void paintEach(Picture& p, Paint paint) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.at(x, y) = paint((float(x) + 0.5f) / float(p.width), (float(y) + 0.5f) / float(p.height));
}

// Separable box blur that wraps around the edges; three passes approximate
// a Gaussian.
void blurWrapped(Picture& p, int radius, int passes);

// Lights a height field (one value per texel, wrapping) from the upper left
// and multiplies the picture by the result: 1 on flat ground.
void shadeRelief(Picture& p, const std::vector<float>& height, float strength);

// 8-bit RGB, rounded and clamped, top row first.
std::vector<uint8_t> toBytes(const Picture& p);
