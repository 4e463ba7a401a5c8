// tora.3ds: a small flying craft. Nose along +x, up along +z; it rolls
// about its nose axis, so the parts stay close to that axis.
#include <algorithm>
#include <cmath>

#include "model_shapes.h"
#include "models.h"

namespace {

ModelMesh hull() {
  ModelMesh m{"Hull", "HullPaint", {}, {}, {}, {}};
  // Pointed nose at x = 1.2, blunt tail at x = -1.
  addLatheX(
      m, 24, 20, [](float t) { return 1.2f - 2.2f * t; },
      [](float t) {
        const float nose = std::sqrt(std::max(0.0f, std::min(1.0f, t * 3.2f)));
        const float tail = t > 0.85f ? 1.0f - (t - 0.85f) / 0.15f * 0.55f : 1.0f;
        return 0.22f * nose * tail + 0.001f;
      },
      0, 0, 0.85f);
  // Engine nozzle ring at the tail.
  addCylinder(m, {-1.05f, 0, 0}, 0, 0.11f, 0.08f, 16);
  return m;
}

ModelMesh wings() {
  ModelMesh m{"Wings", "HullPaint", {}, {}, {}, {}};
  // Swept delta wings, thin in z, both sides of the hull.
  for (int side = -1; side <= 1; side += 2) {
    const float s = float(side);
    std::vector<Point3> outline = {
        {0.35f, 0.0f, 0}, {-0.75f, 0.0f, 0}, {-0.85f, 1.05f, 0}, {-0.55f, 1.08f, 0}};
    // The prism helper extrudes along y; build in (x, y) by swapping axes.
    ModelMesh part;
    std::vector<Point3> xz;
    for (const Point3& p : outline) xz.push_back({p.x, 0, p.y * s});
    addConvexPrismY(part, xz, -0.025f, 0.025f);
    const int base = m.vertexCount();
    for (size_t i = 0; i < part.xyz.size(); i += 3) {
      // (x, y, z) -> (x, z, y - 0.03): the plate lies flat, slightly low.
      m.addVertex(part.xyz[i], part.xyz[i + 2], part.xyz[i + 1] - 0.03f, part.uv[i / 3 * 2],
                  part.uv[i / 3 * 2 + 1]);
    }
    // The axis swap mirrors, so every triangle turns round.
    for (size_t f = 0; f < part.faces.size(); f += 3) {
      m.addTriangle(base + part.faces[f], base + part.faces[f + 2], base + part.faces[f + 1]);
    }
    // Wing-tip pods.
    addLatheX(
        m, 10, 12, [](float t) { return 0.05f - 0.8f * t; },
        [](float t) { return 0.05f * std::sqrt(std::sin(3.14159f * t)) + 0.001f; }, 1.1f * s,
        -0.03f);
  }
  return m;
}

ModelMesh canopy() {
  ModelMesh m{"Canopy", "Glass", {}, {}, {}, {}};
  addEllipsoid(m, {0.35f, 0, 0.13f}, {0.42f, 0.13f, 0.14f}, 14, 20);
  return m;
}

ModelMesh tail() {
  ModelMesh m{"Tail", "HullPaint", {}, {}, {}, {}};
  // Upright fin: prism in (x, z), thin along y.
  addConvexPrismY(m, {{-0.45f, 0, 0.1f}, {-0.95f, 0, 0.1f}, {-1.1f, 0, 0.55f}, {-0.9f, 0, 0.58f}},
                  -0.025f, 0.025f);
  // Small tailplanes.
  addBox(m, {-1.0f, -0.45f, -0.02f}, {-0.75f, 0.45f, 0.02f});
  return m;
}

ModelMesh engines() {
  ModelMesh m{"Engines", "Metal", {}, {}, {}, {}};
  for (int side = -1; side <= 1; side += 2) {
    addLatheX(
        m, 12, 14, [](float t) { return 0.1f - 0.95f * t; },
        [](float t) { return 0.09f * std::pow(std::sin(3.14159f * (0.15f + 0.85f * t)), 0.4f) + 0.01f; },
        0.32f * float(side), -0.1f);
  }
  return m;
}

}  // namespace

ModelFile makeCraftModel() {
  ModelFile file;
  file.materials = {
      {"HullPaint", "METAL003.JPG", "", {0.6f, 0.62f, 0.7f}, {0.4f, 0.4f, 0.4f}},
      {"Glass", "METAL003.JPG", "SPHERE2.JPG", {0.2f, 0.3f, 0.5f}, {0.9f, 0.9f, 0.9f}},
      {"Metal", "METAL003.JPG", "", {0.4f, 0.4f, 0.4f}, {0.6f, 0.6f, 0.6f}},
  };
  file.meshes = {hull(), wings(), canopy(), tail(), engines()};
  return file;
}
