#include "model_shapes.h"

#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831853f;

Point3 vertexAt(const ModelMesh& mesh, int i) {
  return {mesh.xyz[size_t(i) * 3], mesh.xyz[size_t(i) * 3 + 1], mesh.xyz[size_t(i) * 3 + 2]};
}
}  // namespace

Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point3 operator*(Point3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Point3 cross(Point3 a, Point3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void addFacing(ModelMesh& mesh, int a, int b, int c, Point3 outward) {
  const Point3 pa = vertexAt(mesh, a);
  const Point3 n = cross(vertexAt(mesh, b) - pa, vertexAt(mesh, c) - pa);
  if (dot(n, n) < 1e-14f) return;
  if (dot(n, outward) >= 0) {
    mesh.addTriangle(a, b, c);
  } else {
    mesh.addTriangle(a, c, b);
  }
}

void addGrid(ModelMesh& mesh, int rows, int cols,
             const std::function<Point3(float, float)>& surface,
             const std::function<Point3(Point3)>& outward, float uScale, float vScale) {
  const int base = mesh.vertexCount();
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      const float s = float(c) / float(cols);
      const float t = float(r) / float(rows);
      const Point3 p = surface(s, t);
      mesh.addVertex(p.x, p.y, p.z, s * uScale, t * vScale);
    }
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int a = base + r * (cols + 1) + c;
      const int b = a + 1;
      const int d = a + cols + 1;
      const int e = d + 1;
      const Point3 mid = (vertexAt(mesh, a) + vertexAt(mesh, e)) * 0.5f;
      const Point3 out = outward(mid);
      addFacing(mesh, a, b, e, out);
      addFacing(mesh, a, e, d, out);
    }
  }
}

void addLatheX(ModelMesh& mesh, int rings, int segments, const std::function<float(float)>& xOf,
               const std::function<float(float)>& radiusOf, float cy, float cz, float squash) {
  addGrid(
      mesh, rings, segments,
      [&](float s, float t) {
        const float a = s * kTwoPi;
        const float r = radiusOf(t);
        return Point3{xOf(t), cy + r * std::cos(a), cz + r * squash * std::sin(a)};
      },
      [&](Point3 p) { return Point3{0, p.y - cy, p.z - cz}; });
}

void addBox(ModelMesh& mesh, Point3 lo, Point3 hi) {
  const Point3 centre = (lo + hi) * 0.5f;
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const int base = mesh.vertexCount();
      for (int k = 0; k < 4; ++k) {
        const float a = (k == 1 || k == 2) ? 1.0f : 0.0f;
        const float b = (k >= 2) ? 1.0f : 0.0f;
        float c[3];
        c[axis] = side ? (&hi.x)[axis] : (&lo.x)[axis];
        const int i = (axis + 1) % 3;
        const int j = (axis + 2) % 3;
        c[i] = (&lo.x)[i] + a * ((&hi.x)[i] - (&lo.x)[i]);
        c[j] = (&lo.x)[j] + b * ((&hi.x)[j] - (&lo.x)[j]);
        mesh.addVertex(c[0], c[1], c[2], a, b);
      }
      Point3 out{0, 0, 0};
      (&out.x)[axis] = side ? 1.0f : -1.0f;
      addFacing(mesh, base, base + 1, base + 2, out);
      addFacing(mesh, base, base + 2, base + 3, out);
      (void)centre;
    }
  }
}

void addCylinder(ModelMesh& mesh, Point3 centre, int axis, float radius, float halfLength,
                 int segments) {
  auto place = [&](float along, float a, float r) {
    float c[3];
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    c[axis] = along;
    c[i] = r * std::cos(a);
    c[j] = r * std::sin(a);
    return Point3{centre.x + c[0], centre.y + c[1], centre.z + c[2]};
  };
  Point3 axisDir{0, 0, 0};
  (&axisDir.x)[axis] = 1.0f;
  addGrid(
      mesh, 1, segments,
      [&](float s, float t) { return place((t * 2 - 1) * halfLength, s * kTwoPi, radius); },
      [&](Point3 p) {
        const Point3 d = p - centre;
        return d - axisDir * dot(d, axisDir);
      },
      2, 1);
  for (int side = 0; side < 2; ++side) {
    const float along = side ? halfLength : -halfLength;
    const Point3 hub = place(along, 0, 0);
    const int middle = mesh.addVertex(hub.x, hub.y, hub.z, 0.5f, 0.5f);
    const int ring = mesh.vertexCount();
    for (int k = 0; k < segments; ++k) {
      const float a = float(k) * kTwoPi / float(segments);
      const Point3 p = place(along, a, radius);
      mesh.addVertex(p.x, p.y, p.z, 0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a));
    }
    for (int k = 0; k < segments; ++k) {
      addFacing(mesh, middle, ring + k, ring + (k + 1) % segments, axisDir * (side ? 1.f : -1.f));
    }
  }
}

void addEllipsoid(ModelMesh& mesh, Point3 centre, Point3 radii, int rings, int segments) {
  addGrid(
      mesh, rings, segments,
      [&](float s, float t) {
        const float lon = s * kTwoPi;
        const float lat = (t - 0.5f) * 3.14159265f;
        return Point3{centre.x + radii.x * std::cos(lat) * std::cos(lon),
                      centre.y + radii.y * std::cos(lat) * std::sin(lon),
                      centre.z + radii.z * std::sin(lat)};
      },
      [&](Point3 p) {
        const Point3 d = p - centre;
        return Point3{d.x / (radii.x * radii.x), d.y / (radii.y * radii.y),
                      d.z / (radii.z * radii.z)};
      });
}

void addConvexPrismY(ModelMesh& mesh, const std::vector<Point3>& outline, float y0, float y1) {
  Point3 centre{0, 0, 0};
  for (const Point3& p : outline) centre = centre + p;
  centre = centre * (1.0f / float(outline.size()));
  const int n = int(outline.size());
  for (int side = 0; side < 2; ++side) {
    const float y = side ? y1 : y0;
    const int base = mesh.vertexCount();
    for (const Point3& p : outline) mesh.addVertex(p.x, y, p.z, p.x * 0.3f, p.z * 0.3f);
    const Point3 out{0, (side ? 1.0f : -1.0f) * (y1 > y0 ? 1.0f : -1.0f), 0};
    for (int k = 1; k + 1 < n; ++k) addFacing(mesh, base, base + k, base + k + 1, out);
  }
  for (int k = 0; k < n; ++k) {
    const Point3 p = outline[size_t(k)];
    const Point3 q = outline[size_t((k + 1) % n)];
    const int base = mesh.vertexCount();
    mesh.addVertex(p.x, y0, p.z, 0, 0);
    mesh.addVertex(q.x, y0, q.z, 1, 0);
    mesh.addVertex(q.x, y1, q.z, 1, 1);
    mesh.addVertex(p.x, y1, p.z, 0, 1);
    const Point3 mid = (p + q) * 0.5f;
    const Point3 out{mid.x - centre.x, 0, mid.z - centre.z};
    addFacing(mesh, base, base + 1, base + 2, out);
    addFacing(mesh, base, base + 2, base + 3, out);
  }
}

void flipWinding(ModelMesh& mesh) {
  for (size_t f = 0; f + 2 < mesh.faces.size(); f += 3) std::swap(mesh.faces[f + 1], mesh.faces[f + 2]);
}
