#include "picture.h"

#include <cmath>

Rgb rgb(float r, float g, float b) { return Rgb{r, g, b}; }
Rgb rgb255(int r, int g, int b) { return Rgb{r / 255.0f, g / 255.0f, b / 255.0f}; }
Rgb mix(Rgb a, Rgb b, float t) {
  return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb c, float k) { return Rgb{c.r * k, c.g * k, c.b * k}; }
Rgb add(Rgb a, Rgb b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb multiply(Rgb a, Rgb b) { return Rgb{a.r * b.r, a.g * b.g, a.b * b.b}; }

Rgb& Picture::wrapped(int x, int y) {
  x %= width;
  y %= height;
  if (x < 0) x += width;
  if (y < 0) y += height;
  return at(x, y);
}

namespace {

void boxPass(std::vector<Rgb>& data, int count, int stride, int lines, int lineStride, int radius) {
  std::vector<Rgb> line(static_cast<size_t>(count));
  const float norm = 1.0f / float(2 * radius + 1);
  for (int l = 0; l < lines; ++l) {
    Rgb* base = data.data() + size_t(l) * size_t(lineStride);
    for (int i = 0; i < count; ++i) line[size_t(i)] = base[size_t(i) * size_t(stride)];
    Rgb sum;
    for (int k = -radius; k <= radius; ++k) sum = add(sum, line[size_t(((k % count) + count) % count)]);
    for (int i = 0; i < count; ++i) {
      base[size_t(i) * size_t(stride)] = scale(sum, norm);
      const Rgb& out = line[size_t(((i - radius) % count + count) % count)];
      const Rgb& in = line[size_t((i + radius + 1) % count)];
      sum = Rgb{sum.r - out.r + in.r, sum.g - out.g + in.g, sum.b - out.b + in.b};
    }
  }
}

}  // namespace

void blurWrapped(Picture& p, int radius, int passes) {
  for (int k = 0; k < passes; ++k) {
    boxPass(p.texels, p.width, 1, p.height, p.width, radius);
    boxPass(p.texels, p.height, p.width, p.width, 1, radius);
  }
}

void shadeRelief(Picture& p, const std::vector<float>& height, float strength) {
  const int w = p.width, h = p.height;
  auto hAt = [&](int x, int y) {
    return height[size_t(((y % h) + h) % h) * size_t(w) + size_t(((x % w) + w) % w)];
  };
  const float lx = -0.6f, ly = -0.6f, lz = 0.53f;  // light from the upper left
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float gx = (hAt(x + 1, y) - hAt(x - 1, y)) * strength;
      const float gy = (hAt(x, y + 1) - hAt(x, y - 1)) * strength;
      const float len = std::sqrt(gx * gx + gy * gy + 1.0f);
      const float lit = (-gx * lx - gy * ly + lz) / len;
      p.at(x, y) = scale(p.at(x, y), (lit > 0 ? lit : 0) / lz);
    }
  }
}

std::vector<uint8_t> toBytes(const Picture& p) {
  std::vector<uint8_t> bytes(p.texels.size() * 3);
  auto q = [](float c) {
    float v = std::floor(c * 255.0f + 0.5f);
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
  };
  for (size_t i = 0; i < p.texels.size(); ++i) {
    bytes[i * 3 + 0] = q(p.texels[i].r);
    bytes[i * 3 + 1] = q(p.texels[i].g);
    bytes[i * 3 + 2] = q(p.texels[i].b);
  }
  return bytes;
}
