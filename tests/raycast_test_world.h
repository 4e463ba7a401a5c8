// Shared set-up of the ray-caster tests: a camera, a light and a world.
#pragma once

#include <GL/gl.h>

#include <memory>

#include "effects/light_shafts.h"
#include "gl_test_context.h"
#include "host/screen.h"
#include "math/view_camera.h"
#include "test_render_path.h"
#include "raycast/ray_context.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_trace.h"
#include "raycast/ray_world.h"

struct RayTestScene {
  ViewCamera camera;
  std::unique_ptr<LightShafts> light;
  RayWorld world;
  RayContext ctx;
  RayGrid grid;
  RayStats stats;

  explicit RayTestScene(int count) : world(count) {
    useHeadlessGl(800, 600);
    light = std::make_unique<LightShafts>(128, 96, 128, 128, 0.2f, 1.0f);
    light->setPalette(0.5f, 1.0f, 0.25f, 0, 0, 0);
    camera.position.set(0, 0, 0);
    camera.forward.set(0, 0, 1);
    camera.orthonormalize();
    world.camera = &camera;
    world.light = light.get();
  }

  // One drawn grid frame on the current render path.
  void render(GridDepth depth = GridDepth::Read) {
    renderRayGrid(testDemo().gfx, grid, world, depth, softwarePasses(), stats);
  }

  // Frame constants and origin blocks, as renderRayGrid sets them.
  void begin() { rayBeginFrame(ctx, world); }

  RaySample trace(const Vector3& dir) {
    RaySample s{};
    traceSample(ctx, world.idList, world.idList, dir, s);
    return s;
  }
};

// The scene region's viewport and projection and the grid's blending, for
// the tests' own reference drawings in GL; texturing off so colours are the
// vertex colours alone.
inline void raySceneGlState() {
  glViewport(0, 0, 512, 384);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-256, 256, -192, 192, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glDisable(GL_TEXTURE_2D);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// RGB of grid pixel (gx, gy) of the band (viewport row 64 + gy).
inline void readGridPixel(int gx, int gy, unsigned char rgb[3]) {
  unsigned char px[4] = {0, 0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(gx, 64 + gy, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  rgb[0] = px[0];
  rgb[1] = px[1];
  rgb[2] = px[2];
}
