// sspike.3ds: a ball of radius 0.4 with cone spikes whose tips reach 1.
// The scene pushes every vertex out by a power of its distance, so each
// spike carries several rings between core and tip to bend smoothly.
#include <cmath>

#include "model_shapes.h"
#include "models.h"

ModelFile makeSpikeModel() {
  ModelMesh m{"Spikes", "Spike", {}, {}, {}, {}};
  addEllipsoid(m, {0, 0, 0}, {0.4f, 0.4f, 0.4f}, 16, 24);

  // Spike directions spread evenly over the sphere (golden-angle spiral).
  const int spikeCount = 42;
  const int sides = 8;
  const float ringRadii[] = {0.36f, 0.5f, 0.64f, 0.78f, 0.9f};
  const float ringWidths[] = {0.13f, 0.095f, 0.065f, 0.038f, 0.016f};
  const int rings = 5;
  for (int k = 0; k < spikeCount; ++k) {
    const float z = 1.0f - 2.0f * (float(k) + 0.5f) / float(spikeCount);
    const float r = std::sqrt(1.0f - z * z);
    const float a = 2.39996323f * float(k);
    const Point3 dir{r * std::cos(a), r * std::sin(a), z};
    // Two unit vectors across the spike.
    const Point3 helper = std::fabs(dir.z) < 0.9f ? Point3{0, 0, 1} : Point3{1, 0, 0};
    Point3 side1 = cross(dir, helper);
    side1 = side1 * (1.0f / std::sqrt(dot(side1, side1)));
    const Point3 side2 = cross(dir, side1);
    const int base = m.vertexCount();
    for (int ring = 0; ring < rings; ++ring) {
      for (int s = 0; s < sides; ++s) {
        const float t = float(s) * 6.2831853f / float(sides);
        const Point3 p = dir * ringRadii[ring] +
                         (side1 * std::cos(t) + side2 * std::sin(t)) * ringWidths[ring];
        m.addVertex(p.x, p.y, p.z, float(s) / float(sides), float(ring) / float(rings));
      }
    }
    const int tip = m.addVertex(dir.x, dir.y, dir.z, 0.5f, 1.0f);
    for (int ring = 0; ring + 1 < rings; ++ring) {
      for (int s = 0; s < sides; ++s) {
        const int a0 = base + ring * sides + s;
        const int a1 = base + ring * sides + (s + 1) % sides;
        const int b0 = a0 + sides;
        const int b1 = a1 + sides;
        const Point3 out = side1 * std::cos((float(s) + 0.5f) * 6.2831853f / float(sides)) +
                           side2 * std::sin((float(s) + 0.5f) * 6.2831853f / float(sides));
        addFacing(m, a0, a1, b1, out);
        addFacing(m, a0, b1, b0, out);
      }
    }
    for (int s = 0; s < sides; ++s) {
      const int a0 = base + (rings - 1) * sides + s;
      const int a1 = base + (rings - 1) * sides + (s + 1) % sides;
      const Point3 out = side1 * std::cos((float(s) + 0.5f) * 6.2831853f / float(sides)) +
                         side2 * std::sin((float(s) + 0.5f) * 6.2831853f / float(sides));
      addFacing(m, a0, a1, tip, out + dir * 0.1f);
    }
  }
  ModelFile file;
  file.materials = {{"Spike", "METAL003.JPG", "ENV1B.JPG", {0.5f, 0.55f, 0.6f}, {0.8f, 0.8f, 0.9f}}};
  file.meshes = {m};
  return file;
}
