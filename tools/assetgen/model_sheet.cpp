// Model viewer: loads each generated file through the program's own loader
// and draws it with the program's renderer from four angles into one PNG.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "models.h"
#include "models/scene3ds.h"
#include "platform/headless_context.h"
#include "textures/png_writer.h"

namespace {

constexpr int kTileW = 512;
constexpr int kTileH = 384;

unsigned makeTexture(bool sphereMap) {
  std::vector<uint8_t> rgb(64 * 64 * 3);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = &rgb[size_t(y * 64 + x) * 3];
      if (sphereMap) {
        const float dx = (x - 31.5f) / 32, dy = (y - 31.5f) / 32;
        const float r = std::min(1.0f, std::sqrt(dx * dx + dy * dy));
        p[0] = uint8_t(60 + 150 * (1 - r));
        p[1] = uint8_t(80 + 150 * (1 - r));
        p[2] = uint8_t(120 + 130 * (y < 32 ? 1.0f : 0.4f) * (1 - r * 0.5f));
      } else {
        const bool on = ((x / 8) + (y / 8)) % 2 == 0;
        p[0] = on ? 200 : 90;
        p[1] = on ? 190 : 90;
        p[2] = on ? 170 : 100;
      }
    }
  }
  GLuint name;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return name;
}

struct View {
  float azimuth;    // radians about the vertical (program y) axis
  float elevation;  // radians above the horizon
};

bool renderSheet(const std::string& modelPath, const std::string& pngPath, bool face,
                 bool fontRow, unsigned baseTexture, unsigned envTexture) {
  Gfx gfx;  // desktop GL, as the rest of the sheet
  Scene3ds scene(200);
  scene.trueNormals = face ? 1 : 0;
  if (!scene.load(modelPath)) return false;
  int drawCount = scene.meshCount;
  if (fontRow) drawCount -= 1;  // the backing plate is never drawn

  Vector3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
  for (int i = 0; i < drawCount; ++i) {
    for (const Vector3& p : scene.meshes[size_t(i)]->positions) {
      lo.set(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
      hi.set(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
  }
  for (int i = 0; i < scene.meshCount; ++i) {
    Mesh3ds& m = *scene.meshes[size_t(i)];
    const float tint = 0.25f + 0.1f * float(i % 4);
    const float d[4] = {tint, 0.3f, 0.55f - 0.08f * float(i % 3), 1};
    const float s[4] = {0.4f, 0.4f, 0.4f, 1};
    const float a[4] = {0.1f, 0.1f, 0.12f, 1};
    std::copy(d, d + 4, m.diffuse);
    std::copy(s, s + 4, m.specular);
    std::copy(a, a + 4, m.ambient);
    m.shininess = 12;
    m.baseTexture = baseTexture;
    m.envTexture = envTexture;
    m.envAlpha = 0.5f;
    m.renderMode = 5;
    m.basePass = 1;
    m.cullBackFaces = face ? 0 : 1;
  }

  const View views[4] = {{0.0f, 0.15f}, {1.5708f, 0.1f}, {2.4f, 0.6f}, {-0.8f, -0.5f}};
  std::vector<uint8_t> sheet(size_t(kTileW) * 2 * kTileH * 2 * 3);
  std::vector<uint8_t> tile(size_t(kTileW) * kTileH * 3);
  const float lightColour[3] = {1, 1, 1};
  for (int v = 0; v < 4; ++v) {
    glViewport(0, 0, kTileW, kTileH);
    glClearColor(0.12f, 0.12f, 0.16f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Vector3 centre = (lo + hi) * 0.5f;
    Vector3 extent = (hi - lo) * 0.5f;
    float radius = extent.length();
    if (fontRow) {
      // Ten glyphs per view, seen from the face side (-z).
      centre.x = 3.0f * float(v * 10) + 13.5f;
      radius = 16.0f;
    }
    scene.fieldOfView = 40;
    const float distance = radius / std::tan(20.0f * 3.14159f / 180.0f) * 1.05f + 1.0f;
    const View view = fontRow ? View{3.14159f, 0.35f} : views[v];
    // World up is -y: a positive elevation looks from above (negative y).
    const Vector3 eye(centre.x + distance * std::sin(view.azimuth) * std::cos(view.elevation),
                      centre.y - distance * std::sin(view.elevation),
                      centre.z + distance * std::cos(view.azimuth) * std::cos(view.elevation));
    ViewCamera camera;
    camera.position.set(-eye.x, -eye.y, -eye.z);
    camera.forward = eye - centre;
    camera.orthonormalize();
    scene.beginCamera(gfx, camera);
    const Vector3 light(eye.x + distance * 0.5f, eye.y - distance, eye.z);
    for (int i = 0; i < drawCount; ++i) scene.drawMeshLit(scene.view, i, light, lightColour, 0);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kTileW, kTileH, GL_RGB, GL_UNSIGNED_BYTE, tile.data());
    const int ox = (v % 2) * kTileW;
    const int oy = (v / 2) * kTileH;
    for (int y = 0; y < kTileH; ++y) {
      const uint8_t* src = &tile[size_t(kTileH - 1 - y) * kTileW * 3];
      std::copy(src, src + kTileW * 3, &sheet[(size_t(oy + y) * kTileW * 2 + size_t(ox)) * 3]);
    }
  }
  return writePng(pngPath, sheet.data(), kTileW * 2, kTileH * 2);
}

}  // namespace

bool writeModelSheets(const std::string& outDir, const std::string& sheetDir) {
  HeadlessContext ctx;
  std::string error;
  if (!createHeadlessContext(ctx, kTileW, kTileH, &error)) {
    std::fprintf(stderr, "lumivaara-assetgen: no GL for model sheets: %s\n", error.c_str());
    return false;
  }
  glDisable(GL_DITHER);
  const unsigned base = makeTexture(false);
  const unsigned env = makeTexture(true);
  bool ok = true;
  const char* names[] = {"tora", "sspike", "naama", "naamaH", "robo", "font", "hihna"};
  for (const char* name : names) {
    const std::string model = outDir + "/Models/" + name + ".3ds";
    const std::string png = sheetDir + "/" + name + ".png";
    const bool face = name[0] == 'n';
    const bool font = std::string(name) == "font";
    if (!renderSheet(model, png, face, font, base, env)) {
      std::fprintf(stderr, "lumivaara-assetgen: cannot render %s\n", model.c_str());
      ok = false;
    }
  }
  destroyHeadlessContext(ctx);
  return ok;
}
