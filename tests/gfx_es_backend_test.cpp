// The OpenGL ES backend against the desktop one: the same small scenes drawn
// through the layer on each, in a context of each kind, must agree within a
// few levels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "picture_difference.h"
#include "platform/headless_context.h"

namespace {

constexpr int kSide = 64;
const PixelRect kWhole{0, 0, kSide, kSide};

struct Drawn {
  std::vector<uint8_t> rgba;
  std::vector<uint8_t> blue;
  std::vector<float> depth;
};

// Draws with `draw` in a fresh context of `api` and reads the frame back.
Drawn drawOn(GlApi api, const std::function<void(Gfx&)>& draw) {
  HeadlessContext ctx;
  std::string error;
  const GlChoice choice = api == GlApi::kEs ? GlChoice::kEs : GlChoice::kDesktop;
  Drawn out;
  if (!createHeadlessContext(ctx, kSide, kSide, &error, choice)) {
    ADD_FAILURE() << error;
    return out;
  }
  EXPECT_EQ(ctx.api, api);
  out.rgba.resize(kSide * kSide * 4);
  out.blue.resize(kSide * kSide);
  out.depth.resize(kSide * kSide);
  {
    Gfx gfx;
    startGfx(gfx, api);
    draw(gfx);
    readFrameRgba(gfx, kWhole, out.rgba.data());
    readFrameBlue(gfx, kWhole, out.blue.data());
    readFrameDepth(gfx, kWhole, out.depth.data());
    stopGfx(gfx);
  }
  destroyHeadlessContext(ctx);
  return out;
}

Difference esAgainstDesktop(const std::function<void(Gfx&)>& draw, Drawn* es = nullptr) {
  const Drawn desktop = drawOn(GlApi::kDesktop, draw);
  const Drawn other = drawOn(GlApi::kEs, draw);
  if (es) *es = other;
  if (desktop.rgba.size() != other.rgba.size()) return Difference{255, 255};
  return compareRgb(desktop.rgba, other.rgba);
}

Pass flatPass(Combine combine, TextureName texture) {
  Pass p;
  p.viewport = kWhole;
  p.projection = ortho(identityMatrix(), 0, kSide, 0, kSide, -1, 1);
  p.state.combine = combine;
  p.state.blend = Blend::kOver;
  p.texture = texture;
  return p;
}

// A quad over [x0, x1] x [y0, y1] with a colour per corner.
void quadAt(Vertex* v, float x0, float y0, float x1, float y1, float s1 = 1) {
  const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
  const float ss[4] = {0, s1, s1, 0}, ts[4] = {0, 0, s1, s1};
  for (int c = 0; c < 4; ++c)
    v[c] = Vertex{xs[c],           ys[c], 0,    0.2f + 0.25f * c, 0.9f - 0.2f * c, 0.5f,
                  0.4f + 0.2f * c, ss[c], ts[c]};
}

std::vector<uint8_t> pattern(int side) {
  std::vector<uint8_t> p(side * side * 4);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      uint8_t* q = &p[(y * side + x) * 4];
      q[0] = uint8_t(x * 255 / (side - 1));
      q[1] = uint8_t(y * 255 / (side - 1));
      q[2] = uint8_t((x ^ y) & 1 ? 230 : 40);
      q[3] = uint8_t((x + y) * 255 / (2 * side - 2));
    }
  return p;
}

}  // namespace

TEST(GfxEsBackend, CombineModesAlphaKeyAndClampedBorderMatchDesktop) {
  const auto scene = [](Gfx& gfx) {
    const std::vector<uint8_t> picture = pattern(8);
    const TextureName rgba = createTexture(gfx), rgb = createTexture(gfx);
    defineTexture(gfx, rgba, 8, 8, PixelFormat::kRgba, PixelFormat::kRgba, picture.data(),
                  Wrap::kRepeat, Filter::kLinear);
    // Stored without alpha from RGBA data: replace keeps the vertex alpha.
    defineTexture(gfx, rgb, 8, 8, PixelFormat::kRgb, PixelFormat::kRgba, picture.data(),
                  Wrap::kClampToBorder, Filter::kLinear);
    clearFrame(gfx, Colour{0.3f, 0.3f, 0.6f, 1});
    const Combine combines[] = {Combine::kModulate, Combine::kAdd, Combine::kReplace,
                                Combine::kNone};
    Vertex v[4];
    for (int i = 0; i < 4; ++i) {
      quadAt(v, float(i % 2) * 32, float(i / 2) * 32, float(i % 2) * 32 + 30,
             float(i / 2) * 32 + 30);
      drawQuads(gfx, flatPass(combines[i], rgba), v, 4);
    }
    // GL_CLAMP's black border shows past the picture's edge.
    quadAt(v, 8, 8, 56, 24, 1.5f);
    drawQuads(gfx, flatPass(Combine::kReplace, rgb), v, 4);
    Pass keyed = flatPass(Combine::kModulate, rgba);
    keyed.state.alphaKeyed = true;
    keyed.state.blend = Blend::kOff;
    quadAt(v, 20, 36, 60, 60);
    drawSingleQuads(gfx, keyed, v, 4);
  };
  const Drawn desktop = drawOn(GlApi::kDesktop, scene), es = drawOn(GlApi::kEs, scene);
  ASSERT_EQ(desktop.rgba.size(), es.rgba.size());
  // Within a few levels but for a few pixels on the key's edge, where the
  // interpolated alpha lies within rounding of one half.
  int apart = 0;
  for (size_t i = 0; i < es.rgba.size(); i += 4)
    for (int c = 0; c < 3; ++c) {
      if (std::abs(int(es.rgba[i + c]) - int(desktop.rgba[i + c])) > 3) {
        ++apart;
        break;
      }
    }
  EXPECT_LE(apart, 12);
  EXPECT_LT(compareRgb(desktop.rgba, es.rgba).mean, 0.5);
}

TEST(GfxEsBackend, LitSphereMappedMeshMatchesDesktop) {
  // A sphere of 12 x 16 facets, normals out.
  std::vector<MeshVertex> corners;
  std::vector<int32_t> indices;
  const int rings = 12, sides = 16;
  for (int r = 0; r <= rings; ++r)
    for (int s = 0; s <= sides; ++s) {
      const float a = 3.14159265f * r / rings, b = 6.2831853f * s / sides;
      const float x = std::sin(a) * std::cos(b), y = std::cos(a), z = std::sin(a) * std::sin(b);
      corners.push_back(MeshVertex{float(s) / sides, float(r) / rings, x, y, z, x, y, z});
    }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const int a = r * (sides + 1) + s, b = a + sides + 1;
      for (int k : {a, a + 1, b, a + 1, b + 1, b}) indices.push_back(k);
    }
  const Difference d = esAgainstDesktop([&](Gfx& gfx) {
    const std::vector<uint8_t> picture = pattern(16);
    const TextureName t = createTexture(gfx);
    defineTexture(gfx, t, 16, 16, PixelFormat::kRgba, PixelFormat::kRgba, picture.data(),
                  Wrap::kRepeat, Filter::kLinear);
    clearFrame(gfx, kBlack, true);
    Pass p;
    p.viewport = kWhole;
    p.projection = perspective(identityMatrix(), 50, 1, 0.5, 20);
    const Mat4 camera = translated(identityMatrix(), 0, 0, -3);
    p.modelview = scaled(rotated(camera, 30, 1, 0.5f, 0), 1.1f, 0.9f, 1);
    p.state.depth = DepthTest::kLess;
    p.state.cullBackFaces = true;
    p.state.lit = true;
    p.state.sphereMapped = true;
    p.state.combine = Combine::kModulate;
    p.texture = t;
    Lighting light;
    light.placedBy = camera;
    light.position[0] = 2;
    light.position[1] = 1.5f;
    light.position[2] = 1;
    light.position[3] = 1;
    light.colour[1] = 0.8f;
    light.materialSpecular[0] = light.materialSpecular[1] = light.materialSpecular[2] = 0.7f;
    light.shininess = 20;
    light.attenuation[1] = 0.1f;
    drawMesh(gfx, p, light, Colour{0.9f, 0.7f, 0.5f, 1}, corners.data(), indices.data(),
             int(indices.size()));
  });
  EXPECT_LE(d.worst, 4);
  EXPECT_LT(d.mean, 0.3);
}

// Lines from a fifth of a pixel to 9 pixels long, at every angle and
// off-centre, inside the frame (the window's edge cuts a desktop line as it
// cuts no quad), weighted by their alpha as the fractal's outlines are: the
// coverage across, over the ends and of segments shorter than a pixel must
// be the desktop driver's, pixel for pixel.
TEST(GfxEsBackend, SmoothLinesCoverAsDesktopDoes) {
  const auto lines = [](Gfx& gfx) {
    clearFrame(gfx, kBlack);
    std::vector<Vertex> v;
    for (int i = 0; i < 48; ++i) {
      const float a = 0.7f * i + 0.1f, length = 0.2f + 0.18f * i;
      const float x = 10.3f + float(i % 8) * 6.3f, y = 10.6f + float(i / 8) * 8.3f;
      const float alpha = 0.3f + 0.014f * i;
      v.push_back(Vertex{x, y, 0, 1, 0.8f, 0.6f, alpha, 0, 0});
      v.push_back(Vertex{x + length * std::cos(a), y + length * std::sin(a), 0, 1, 0.8f, 0.6f,
                         alpha, 0, 0});
    }
    Pass p = flatPass(Combine::kNone, 0);
    p.state.blend = Blend::kWeighted;
    p.state.smoothLines = true;
    drawLines(gfx, p, v.data(), int(v.size()));
  };
  const Difference d = esAgainstDesktop(lines);
  EXPECT_LE(d.worst, 2);
  EXPECT_LT(d.mean, 0.05);
}

// Runs of quads over two textures, drawn as one pass, draw what each run
// drawn on its own draws, on either backend: each run its own texture and
// its own quads, wherever it starts in the array.
TEST(GfxEsBackend, QuadRunsDrawWhatTheirRunsDraw) {
  const auto runs = [](bool onePass) {
    return [onePass](Gfx& gfx) {
      const std::vector<uint8_t> picture = pattern(8), other = pattern(4);
      const TextureName a = createTexture(gfx), b = createTexture(gfx);
      defineTexture(gfx, a, 8, 8, PixelFormat::kRgba, PixelFormat::kRgba, picture.data(),
                    Wrap::kRepeat, Filter::kNearest);
      defineTexture(gfx, b, 4, 4, PixelFormat::kRgb, PixelFormat::kRgba, other.data(),
                    Wrap::kRepeat, Filter::kLinear);
      clearFrame(gfx, kBlack);
      Vertex v[16];
      for (int q = 0; q < 4; ++q)
        quadAt(v + 4 * q, 2.0f + 15.5f * q, 3.0f + 9.0f * q, 14.0f + 15.5f * q, 30.0f + 8.0f * q);
      const QuadRun list[3] = {{a, 0, 1}, {b, 1, 2}, {a, 3, 1}};
      const Pass pass = flatPass(Combine::kModulate, 0);
      if (onePass) {
        drawQuadRuns(gfx, pass, v, list, 3);
        return;
      }
      for (const QuadRun& run : list) {
        Pass own = pass;
        own.texture = run.texture;
        drawQuads(gfx, own, v + 4 * run.firstQuad, 4 * run.quadCount);
      }
    };
  };
  for (GlApi api : {GlApi::kDesktop, GlApi::kEs}) {
    const Drawn together = drawOn(api, runs(true)), apart = drawOn(api, runs(false));
    EXPECT_EQ(together.rgba, apart.rgba) << (api == GlApi::kEs ? "es" : "desktop");
  }
}

TEST(GfxEsBackend, MasksFeedbackCopiesAndBlurTapsMatchDesktop) {
  std::vector<uint8_t> copied[2];
  int which = 0;
  const auto scene = [&](Gfx& gfx) {
    clearFrame(gfx, kBlack, true);
    Vertex v[4];
    Pass p = flatPass(Combine::kNone, 0);
    p.state.blend = Blend::kOff;
    p.state.depth = DepthTest::kLess;
    p.projection = ortho(identityMatrix(), 0, kSide, 0, kSide, 0, 1);
    quadAt(v, 4, 4, 40, 40);
    for (Vertex& c : v) c.z = -0.25f;
    drawQuads(gfx, p, v, 4);
    quadAt(v, 20, 20, 60, 60);
    for (int c = 0; c < 4; ++c) v[c].z = -0.1f - 0.2f * c;
    drawQuads(gfx, p, v, 4);
    // The frame into a clamped picture, read back, then blurred over itself.
    const TextureName t = createTexture(gfx);
    defineTexture(gfx, t, kSide, kSide, PixelFormat::kRgb, PixelFormat::kRgb, nullptr,
                  Wrap::kClampToBorder, Filter::kLinear);
    copyFrameToTexture(gfx, t, kWhole);
    copied[which].resize(kSide * kSide * 4);
    readTexture(gfx, t, copied[which].data());
    ++which;
    Pass taps = flatPass(Combine::kAdd, t);
    taps.state.blend = Blend::kWeighted;
    Vertex quad[4];
    quadAt(quad, 0, 0, 32, 32);
    drawBlurTaps(gfx, taps, quad, 3.0f / kSide);
  };
  Drawn es;
  const Drawn desktop = drawOn(GlApi::kDesktop, scene);
  es = drawOn(GlApi::kEs, scene);
  ASSERT_EQ(desktop.depth.size(), es.depth.size());
  const Difference d = compareRgb(desktop.rgba, es.rgba);
  EXPECT_LE(d.worst, 3);
  EXPECT_EQ(compareRgb(copied[0], copied[1]).worst, 0);
  int blueApart = 0;
  double depthApart = 0;
  for (size_t i = 0; i < es.blue.size(); ++i) {
    blueApart = std::max(blueApart, std::abs(int(es.blue[i]) - int(desktop.blue[i])));
    depthApart = std::max(depthApart, double(std::fabs(es.depth[i] - desktop.depth[i])));
  }
  EXPECT_LE(blueApart, 3);
  // Exact enough for a compare against a threshold: well under one step of
  // 16-bit depth.
  EXPECT_LT(depthApart, 1e-6);
}
