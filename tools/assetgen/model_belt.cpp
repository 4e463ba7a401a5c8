// hihna.3ds: the conveyor. Its top runs at z = 0 (the program's y = 0) from
// beyond x = -20 to beyond x = 34, wide enough for the letter lanes at
// y = -2.256 and 1.744 (the program's z). The first mesh is the moving belt,
// its u running along x at one texture repeat per 54.6 units.
#include <algorithm>
#include <cmath>

#include "model_shapes.h"
#include "models.h"

namespace {
constexpr float kLeft = -23.0f;
constexpr float kRight = 37.0f;
constexpr float kNear = -3.6f;
constexpr float kFar = 3.1f;
constexpr float kRoller = 0.55f;
constexpr float kRepeat = 54.6f;
}  // namespace

ModelFile makeBeltModel() {
  ModelFile file;
  file.materials = {{"Belt", "KALLIO1.JPG", "ENV1BW.JPG", {0.3f, 0.3f, 0.3f}, {0.2f, 0.2f, 0.2f}},
                    {"Frame", "KALLIO1.JPG", "ENV1BW.JPG", {0.4f, 0.4f, 0.45f}, {0.5f, 0.5f, 0.5f}}};

  // Belt loop: top run, round the end rollers, return run underneath. The
  // path parameter is arc length, so u = x / 54.6 along the top.
  ModelMesh belt{"Belt", "Belt", {}, {}, {}, {}};
  const float c = -kRoller;  // roller centre height
  const float straight = kRight - kLeft;
  const float arc = 3.14159265f * kRoller;
  const float loop = 2 * straight + 2 * arc;
  auto pathPoint = [&](float d, float& x, float& z) {
    if (d < straight) {
      x = kLeft + d;
      z = 0;
    } else if (d < straight + arc) {
      const float a = (d - straight) / kRoller;
      x = kRight + kRoller * std::sin(a);
      z = c + kRoller * std::cos(a);
    } else if (d < 2 * straight + arc) {
      x = kRight - (d - straight - arc);
      z = c - kRoller;
    } else {
      const float a = (d - 2 * straight - arc) / kRoller;
      x = kLeft - kRoller * std::sin(a);
      z = c - kRoller * std::cos(a);
    }
  };
  const int steps = 160;
  for (int k = 0; k <= steps; ++k) {
    // Dense steps round the rollers, few along the straight runs.
    float d;
    const int runSteps = 20;
    const int arcSteps = 20;
    if (k <= runSteps) {
      d = straight * float(k) / runSteps;
    } else if (k <= runSteps + arcSteps) {
      d = straight + arc * float(k - runSteps) / arcSteps;
    } else if (k <= 2 * runSteps + arcSteps) {
      d = straight + arc + straight * float(k - runSteps - arcSteps) / runSteps;
    } else {
      d = 2 * straight + arc + arc * std::min(1.0f, float(k - 2 * runSteps - arcSteps) / arcSteps);
    }
    if (k > 2 * runSteps + 2 * arcSteps) break;
    float x, z;
    pathPoint(std::min(d, loop - 1e-4f), x, z);
    const float u = (d + kLeft) / kRepeat;  // u = x / 54.6 on the top run
    belt.addVertex(x, kNear, z, u, 0);
    belt.addVertex(x, kFar, z, u, (kFar - kNear) / 8.0f);
  }
  const int rows = belt.vertexCount() / 2;
  for (int k = 0; k + 1 < rows; ++k) {
    const int a = 2 * k;
    float x, z;
    const float mx = (belt.xyz[size_t(a) * 3] + belt.xyz[size_t(a + 2) * 3]) * 0.5f;
    const float mz = (belt.xyz[size_t(a) * 3 + 2] + belt.xyz[size_t(a + 2) * 3 + 2]) * 0.5f;
    (void)x;
    (void)z;
    // Outward: away from the middle of the loop.
    const float cx = std::max(kLeft, std::min(kRight, mx));
    const Point3 out{mx - cx, 0, mz - c};
    addFacing(belt, a, a + 2, a + 3, out);
    addFacing(belt, a, a + 3, a + 1, out);
  }
  file.meshes.push_back(belt);

  ModelMesh rollers{"Rollers", "Frame", {}, {}, {}, {}};
  for (float x = kLeft; x <= kRight + 0.01f; x += 3.0f) {
    const float r = (x == kLeft || x > kRight - 0.01f) ? kRoller - 0.02f : 0.3f;
    addCylinder(rollers, {x, (kNear + kFar) * 0.5f, c + (kRoller - r) * 0.0f - 0.02f - (kRoller - r)},
                1, r, (kFar - kNear) * 0.5f - 0.05f, 16);
  }
  file.meshes.push_back(rollers);

  ModelMesh frame{"Frame", "Frame", {}, {}, {}, {}};
  for (int side = 0; side < 2; ++side) {
    const float y = side ? kFar + 0.05f : kNear - 0.35f;
    addBox(frame, {kLeft - 0.8f, y, -1.5f}, {kRight + 0.8f, y + 0.3f, 0.15f});
  }
  file.meshes.push_back(frame);

  ModelMesh legs{"Legs", "Frame", {}, {}, {}, {}};
  for (float x = kLeft + 1.0f; x <= kRight; x += 14.5f) {
    for (int side = 0; side < 2; ++side) {
      const float y = side ? kFar + 0.05f : kNear - 0.35f;
      addBox(legs, {x - 0.2f, y, -7.0f}, {x + 0.2f, y + 0.3f, -1.5f});
    }
    addBox(legs, {x - 0.15f, kNear - 0.35f, -5.0f}, {x + 0.15f, kFar + 0.35f, -4.7f});
  }
  file.meshes.push_back(legs);
  return file;
}
