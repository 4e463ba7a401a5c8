// Building blocks for the procedural models: triangles oriented by an
// outward hint, parametric grids, boxes and cylinders, in the file's axes.
#pragma once
#include <functional>

#include "tds_writer.h"

struct Point3 {
  float x, y, z;
};

Point3 operator+(Point3 a, Point3 b);
Point3 operator-(Point3 a, Point3 b);
Point3 operator*(Point3 a, float s);
Point3 cross(Point3 a, Point3 b);
float dot(Point3 a, Point3 b);

// Adds the triangle wound counter-clockwise seen from the side `outward`
// points to; skips it when it has no area.
void addFacing(ModelMesh& mesh, int a, int b, int c, Point3 outward);

// (rows + 1) x (cols + 1) vertices at surface(s, t), s and t in 0..1, with
// texture coordinates (s uScale, t vScale); each cell becomes two triangles
// facing outward(position).
void addGrid(ModelMesh& mesh, int rows, int cols,
             const std::function<Point3(float s, float t)>& surface,
             const std::function<Point3(Point3 p)>& outward, float uScale = 1,
             float vScale = 1);

// Closed surface of revolution about the x axis: radius(s) at x(s), s 0..1,
// ring centres offset by (0, cy, cz); squash scales the ring's z extent.
void addLatheX(ModelMesh& mesh, int rings, int segments, const std::function<float(float)>& xOf,
               const std::function<float(float)>& radiusOf, float cy = 0, float cz = 0,
               float squash = 1);

void addBox(ModelMesh& mesh, Point3 lo, Point3 hi);
// Capped cylinder along axis 0 (x), 1 (y) or 2 (z).
void addCylinder(ModelMesh& mesh, Point3 centre, int axis, float radius, float halfLength,
                 int segments);
// Ellipsoid with the given radii.
void addEllipsoid(ModelMesh& mesh, Point3 centre, Point3 radii, int rings, int segments);
// Polygon (x, z in the plane, counter-clockwise seen from -y... any order)
// extruded along y from y0 to y1; the polygon must be convex.
void addConvexPrismY(ModelMesh& mesh, const std::vector<Point3>& outline, float y0, float y1);
// Reverses every triangle of the mesh.
void flipWinding(ModelMesh& mesh);
