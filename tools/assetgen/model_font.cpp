// font.3ds: the scroller's 42 glyphs as extruded solids, cut from a real
// font's outlines (curves flattened, faces triangulated by the GLU
// tessellator). Glyph s of the slot table is centred at x = 3 s, upright
// along +z, its face towards -y and 0.4 deep; a backing plate follows.
#include <GL/gl.h>
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <algorithm>
#include <array>
#include <deque>
#include <string>

#include "model_shapes.h"
#include "models.h"

const char* const kModelFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

namespace {

constexpr char kGlyphSet[] = "!%+.0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZ;";
constexpr float kEmSize = 2.2f;
constexpr float kDepth = 0.4f;
constexpr int kCurveSteps = 6;

int slotOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= '0' && c <= '9') return 26 + (c - '0');
  switch (c) {
    case '!': return 36;
    case '?': return 37;
    case '.': return 38;
    case '%': return 39;
    case '+': return 40;
    default: return 41;  // ;
  }
}

struct Contours {
  std::vector<std::vector<Point3>> loops;  // (x, 0, z) in font units
  Point3 pen{0, 0, 0};
};

int moveTo(const FT_Vector* to, void* user) {
  Contours& c = *static_cast<Contours*>(user);
  c.loops.emplace_back();
  c.pen = {float(to->x), 0, float(to->y)};
  c.loops.back().push_back(c.pen);
  return 0;
}
int lineTo(const FT_Vector* to, void* user) {
  Contours& c = *static_cast<Contours*>(user);
  c.pen = {float(to->x), 0, float(to->y)};
  c.loops.back().push_back(c.pen);
  return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  Contours& c = *static_cast<Contours*>(user);
  const Point3 p0 = c.pen;
  const Point3 p1{float(control->x), 0, float(control->y)};
  const Point3 p2{float(to->x), 0, float(to->y)};
  for (int k = 1; k <= kCurveSteps; ++k) {
    const float t = float(k) / kCurveSteps;
    const float s = 1 - t;
    c.loops.back().push_back(p0 * (s * s) + p1 * (2 * s * t) + p2 * (t * t));
  }
  c.pen = p2;
  return 0;
}
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  Contours& c = *static_cast<Contours*>(user);
  const Point3 p0 = c.pen;
  const Point3 p1{float(c1->x), 0, float(c1->y)};
  const Point3 p2{float(c2->x), 0, float(c2->y)};
  const Point3 p3{float(to->x), 0, float(to->y)};
  for (int k = 1; k <= kCurveSteps; ++k) {
    const float t = float(k) / kCurveSteps;
    const float s = 1 - t;
    c.loops.back().push_back(p0 * (s * s * s) + p1 * (3 * s * s * t) + p2 * (3 * s * t * t) +
                             p3 * (t * t * t));
  }
  c.pen = p3;
  return 0;
}

// Triangles of the tessellated cap, as points in (x, 0, z).
struct Tessellation {
  std::deque<std::array<GLdouble, 3>> storage;  // stable addresses for GLU's vertex pointers
  std::vector<Point3> triangles;
};

void GLAPIENTRY onVertex(void* vertex, void* user) {
  const GLdouble* v = static_cast<const GLdouble*>(vertex);
  static_cast<Tessellation*>(user)->triangles.push_back({float(v[0]), 0, float(v[2])});
}
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {}  // forces plain triangles
void GLAPIENTRY onCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user) {
  Tessellation& t = *static_cast<Tessellation*>(user);
  t.storage.push_back({coords[0], coords[1], coords[2]});
  *out = t.storage.back().data();
}
void GLAPIENTRY onError(GLenum error, void*) {
  std::fprintf(stderr, "font.3ds: tessellation error %u\n", error);
}

std::vector<Point3> tessellate(const std::vector<std::vector<Point3>>& loops) {
  Tessellation t;
  GLUtesselator* tess = gluNewTess();
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(onVertex));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(onEdgeFlag));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(onCombine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(onError));
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0, -1, 0);
  gluTessBeginPolygon(tess, &t);
  for (const std::vector<Point3>& loop : loops) {
    gluTessBeginContour(tess);
    for (const Point3& p : loop) {
      t.storage.push_back({p.x, 0.0, p.z});
      GLdouble* v = t.storage.back().data();
      gluTessVertex(tess, v, v);
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  return t.triangles;
}

bool glyphMesh(FT_Face face, char c, ModelMesh& mesh) {
  if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return false;
  Contours contours;
  FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &contours) != 0) return false;
  const bool trueType = FT_Outline_Get_Orientation(&face->glyph->outline) == FT_ORIENTATION_TRUETYPE;

  // Font units to model units: centred on the bounding box horizontally,
  // the cap height's middle at z = 0, glyph centre at x = 3 slot.
  const float scale = kEmSize / float(face->units_per_EM);
  float minX = 1e9f, maxX = -1e9f;
  for (auto& loop : contours.loops) {
    if (loop.size() > 1 && loop.front().x == loop.back().x && loop.front().z == loop.back().z) {
      loop.pop_back();
    }
    for (const Point3& p : loop) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
    }
  }
  const float capHeight = 0.729f * float(face->units_per_EM);
  const float centreX = 3.0f * float(slotOf(c));
  for (auto& loop : contours.loops) {
    for (Point3& p : loop) {
      p = {centreX + (p.x - (minX + maxX) * 0.5f) * scale, 0, (p.z - capHeight * 0.5f) * scale};
    }
  }

  const std::vector<Point3> cap = tessellate(contours.loops);
  for (int side = 0; side < 2; ++side) {
    const float y = side ? 0.0f : -kDepth;
    const Point3 out{0, side ? 1.0f : -1.0f, 0};
    for (size_t k = 0; k + 2 < cap.size(); k += 3) {
      int idx[3];
      for (int j = 0; j < 3; ++j) {
        const Point3& p = cap[k + size_t(j)];
        idx[j] = mesh.addVertex(p.x, y, p.z, (p.x - centreX) * 0.4f + 0.5f, p.z * 0.4f + 0.5f);
      }
      addFacing(mesh, idx[0], idx[1], idx[2], out);
    }
  }
  // Side walls; the filled side of each edge is on the right for TrueType
  // orientation, so the outward normal is the edge's left normal.
  for (const auto& loop : contours.loops) {
    const size_t n = loop.size();
    for (size_t k = 0; k < n; ++k) {
      const Point3 p = loop[k];
      const Point3 q = loop[(k + 1) % n];
      Point3 out{-(q.z - p.z), 0, q.x - p.x};
      if (!trueType) out = out * -1.0f;
      const int a = mesh.addVertex(p.x, -kDepth, p.z, 0, 0);
      const int b = mesh.addVertex(q.x, -kDepth, q.z, 1, 0);
      const int d = mesh.addVertex(q.x, 0, q.z, 1, 1);
      const int e = mesh.addVertex(p.x, 0, p.z, 0, 1);
      addFacing(mesh, a, b, d, out);
      addFacing(mesh, a, d, e, out);
    }
  }
  return !mesh.faces.empty();
}

}  // namespace

ModelFile makeFontModel(const std::string& fontPath) {
  ModelFile file;
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return file;
  FT_Face face;
  if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    return file;
  }
  file.materials = {{"Glyph", "KUIVARUO.JPG", "ENV1G.JPG", {0.8f, 0.6f, 0.6f}, {0.1f, 0.1f, 0.1f}},
                    {"Plate", "KUIVARUO.JPG", "ENV1BW.JPG", {0.1f, 0.1f, 0.4f}, {0, 0, 0}}};
  for (const char* c = kGlyphSet; *c; ++c) {
    ModelMesh mesh{std::string("Glyph_") + std::to_string(int(c - kGlyphSet)), "Glyph", {}, {}, {}, {}};
    glyphMesh(face, *c, mesh);
    file.meshes.push_back(mesh);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  ModelMesh plate{"Plate", "Plate", {}, {}, {}, {}};
  addBox(plate, {-2.0f, 0.05f, -1.3f}, {3.0f * 41 + 2.0f, 0.2f, 1.3f});
  file.meshes.push_back(plate);
  return file;
}
