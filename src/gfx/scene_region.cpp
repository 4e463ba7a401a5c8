#include "gfx/scene_region.h"

Mat4 sceneProjection() { return ortho(identityMatrix(), -256, 256, -192, 192, 0, 1); }

Pass scenePass(Blend blend, Combine combine, TextureName texture) {
  Pass pass;
  pass.state.blend = blend;
  pass.state.combine = combine;
  pass.viewport = kSceneRegion;
  pass.projection = sceneProjection();
  pass.texture = texture;
  return pass;
}

BandQuad flatQuad(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
                  const Colour& c) {
  return BandQuad{{{x0, y0, -1.0f, c.r, c.g, c.b, c.a, s0, t0},
                   {x1, y0, -1.0f, c.r, c.g, c.b, c.a, s1, t0},
                   {x1, y1, -1.0f, c.r, c.g, c.b, c.a, s1, t1},
                   {x0, y1, -1.0f, c.r, c.g, c.b, c.a, s0, t1}}};
}

BandQuad bandQuad(float alpha, float du, float dv) {
  return flatQuad(-256.0f, -128.0f, 256.0f, 128.0f, 0.0f + du, 0.0f + dv, 1.0f + du, 1.0f + dv,
                  Colour{0.0f, 0.0f, 0.0f, alpha});
}
