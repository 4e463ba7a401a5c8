// The layer on a desktop GL compatibility context: each draw sets the whole
// of its pass's state, then draws from client arrays.
// Shader entry points for the blur taps' program.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <cstddef>
#include <vector>

#include "gfx/backends.h"

namespace desktop {

namespace {

void applyBlend(Blend blend) {
  if (blend == Blend::kOff) {
    glDisable(GL_BLEND);
    return;
  }
  glEnable(GL_BLEND);
  switch (blend) {
    case Blend::kWeighted: glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA); break;
    case Blend::kOver: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case Blend::kAdd: glBlendFunc(GL_ONE, GL_ONE); break;
    case Blend::kInverseScreen: glBlendFunc(GL_ONE_MINUS_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR); break;
    case Blend::kScreen: glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR); break;
    case Blend::kOff: break;
  }
}

void applyDepth(DepthTest depth) {
  if (depth == DepthTest::kOff) {
    glDisable(GL_DEPTH_TEST);
    return;
  }
  glEnable(GL_DEPTH_TEST);
  const GLenum func = depth == DepthTest::kLess ? GL_LESS : GL_EQUAL;
  glDepthFunc(depth == DepthTest::kAlways ? GL_ALWAYS : func);
}

void applyTexture(Combine combine, TextureName texture) {
  if (combine == Combine::kNone) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  const GLint mode = combine == Combine::kModulate ? GL_MODULATE
                     : combine == Combine::kAdd    ? GL_ADD
                                                   : GL_REPLACE;
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void setEnabled(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

void applyPass(const Pass& pass) {
  const PassState& s = pass.state;
  glViewport(pass.viewport.x, pass.viewport.y, pass.viewport.width, pass.viewport.height);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(pass.projection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(pass.modelview.m);
  applyBlend(s.blend);
  applyDepth(s.depth);
  applyTexture(s.combine, pass.texture);
  setEnabled(GL_CULL_FACE, s.cullBackFaces);
  setEnabled(GL_ALPHA_TEST, s.alphaKeyed);
  if (s.alphaKeyed) glAlphaFunc(GL_GREATER, 0.5f);
  setEnabled(GL_LIGHTING, s.lit);
  setEnabled(GL_LIGHT0, s.lit);
  // The tracked material is set before tracking starts, or enabling would
  // copy the current colour into the ambient material too.
  if (s.lit) glColorMaterial(GL_FRONT, GL_DIFFUSE);
  setEnabled(GL_COLOR_MATERIAL, s.lit);
  setEnabled(GL_TEXTURE_GEN_S, s.sphereMapped);
  setEnabled(GL_TEXTURE_GEN_T, s.sphereMapped);
  if (s.sphereMapped) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  }
  setEnabled(GL_LINE_SMOOTH, s.smoothLines);
  setEnabled(GL_SCISSOR_TEST, s.scissored);
  if (s.scissored) glScissor(s.scissor.x, s.scissor.y, s.scissor.width, s.scissor.height);
}

// Points GL at interleaved vertices; texture coordinates only where used.
void pointAt(const Vertex* v, bool textured) {
  glDisableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &v->x);
  glColorPointer(4, GL_FLOAT, sizeof(Vertex), &v->r);
  if (textured) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &v->s);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
}

// The arrays point into the caller's memory: none stays enabled.
void releaseArrays() {
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void drawArrays(GLenum mode, const Pass& pass, const Vertex* vertices, int count) {
  if (count <= 0) return;
  applyPass(pass);
  pointAt(vertices, pass.state.combine != Combine::kNone || pass.state.sphereMapped);
  glDrawArrays(mode, 0, count);
  releaseArrays();
}

GLint glWrap(Wrap wrap) {
  if (wrap == Wrap::kRepeat) return GL_REPEAT;
  return wrap == Wrap::kClampToEdge ? GL_CLAMP_TO_EDGE : GL_CLAMP;
}

GLenum glFormat(PixelFormat format) { return format == PixelFormat::kRgb ? GL_RGB : GL_RGBA; }

// Tight rows for one transfer, whatever the row length.
struct TightRows {
  TightRows() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
  }
  ~TightRows() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
  }
};

}  // namespace

void drawQuads(Gfx&, const Pass& pass, const Vertex* vertices, int count) {
  drawArrays(GL_QUADS, pass, vertices, count);
}

void drawQuadRuns(Gfx&, const Pass& pass, const Vertex* vertices, const QuadRun* runs,
                  int runCount) {
  if (runCount <= 0) return;
  Pass first = pass;
  first.texture = runs[0].texture;
  applyPass(first);
  const bool textured = pass.state.combine != Combine::kNone;
  pointAt(vertices, textured || pass.state.sphereMapped);
  for (int i = 0; i < runCount; ++i) {
    if (i > 0 && textured) glBindTexture(GL_TEXTURE_2D, runs[i].texture);
    glDrawArrays(GL_QUADS, runs[i].firstQuad * 4, runs[i].quadCount * 4);
  }
  releaseArrays();
}

void drawLines(Gfx&, const Pass& pass, const Vertex* vertices, int count) {
  drawArrays(GL_LINES, pass, vertices, count);
}

// GL places a light's position with the modelview current when it is given.
static void applyLighting(const Lighting& l, const Mat4& modelview) {
  const float white[4] = {1, 1, 1, 1};
  const float colour[4] = {l.colour[0], l.colour[1], l.colour[2], 1};
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
  glMaterialfv(GL_FRONT, GL_AMBIENT, l.materialAmbient);
  glMaterialfv(GL_FRONT, GL_SPECULAR, l.materialSpecular);
  glMaterialf(GL_FRONT, GL_SHININESS, l.shininess);
  glLoadMatrixf(l.placedBy.m);
  glLightfv(GL_LIGHT0, GL_POSITION, l.position);
  glLoadMatrixf(modelview.m);
  glLightfv(GL_LIGHT0, GL_AMBIENT, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
  glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
  glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, l.attenuation[0]);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, l.attenuation[1]);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, l.attenuation[2]);
}

void drawMesh(Gfx&, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount) {
  if (indexCount <= 0) return;
  applyPass(pass);
  if (pass.state.lit) applyLighting(lighting, pass.modelview);
  glColor4f(colour.r, colour.g, colour.b, colour.a);
  glDisableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), &vertices->x);
  glNormalPointer(GL_FLOAT, sizeof(MeshVertex), &vertices->nx);
  glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex), &vertices->s);
  glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, indices);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void drawSingleQuads(Gfx&, const Pass& pass, const Vertex* vertices, int count) {
  const int quads = count / 4;
  if (quads <= 0) return;
  std::vector<GLuint> corners;
  corners.reserve(std::size_t(quads) * 6);
  for (GLuint q = 0; q < GLuint(quads) * 4; q += 4)
    for (GLuint k : {0u, 1u, 3u, 1u, 2u, 3u}) corners.push_back(q + k);
  applyPass(pass);
  pointAt(vertices, pass.state.combine != Combine::kNone || pass.state.sphereMapped);
  glDrawElements(GL_TRIANGLES, GLsizei(corners.size()), GL_UNSIGNED_INT, corners.data());
  releaseArrays();
}

void clearFrame(Gfx&, const Colour& colour, bool depthToo) {
  glDisable(GL_SCISSOR_TEST);
  glClearColor(colour.r, colour.g, colour.b, colour.a);
  glClear(depthToo ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
}

void clearDepth(Gfx&) {
  glDisable(GL_SCISSOR_TEST);
  glClear(GL_DEPTH_BUFFER_BIT);
}

TextureName createTexture(Gfx&) {
  GLuint name = 0;
  glGenTextures(1, &name);
  return name;
}

void deleteTexture(Gfx&, TextureName name) {
  const GLuint n = name;
  glDeleteTextures(1, &n);
}

void defineTexture(Gfx&, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter) {
  glBindTexture(GL_TEXTURE_2D, name);
  const GLint f = filter == Filter::kLinear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glWrap(wrap));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glWrap(wrap));
  TightRows tight;
  glTexImage2D(GL_TEXTURE_2D, 0, GLint(glFormat(stored)), width, height, 0, glFormat(given),
               GL_UNSIGNED_BYTE, pixels);
}

void updateTexture(Gfx&, TextureName name, int x, int y, int width, int height, PixelFormat given,
                   const void* pixels) {
  glBindTexture(GL_TEXTURE_2D, name);
  TightRows tight;
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, glFormat(given), GL_UNSIGNED_BYTE,
                  pixels);
}

void copyFrameToTexture(Gfx&, TextureName name, const PixelRect& from) {
  glBindTexture(GL_TEXTURE_2D, name);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, from.x, from.y, from.width, from.height);
}

void readTexture(Gfx&, TextureName name, uint8_t* rgba) {
  glBindTexture(GL_TEXTURE_2D, name);
  TightRows tight;
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

static void readFrame(const PixelRect& r, GLenum format, GLenum type, void* out) {
  TightRows tight;
  glReadPixels(r.x, r.y, r.width, r.height, format, type, out);
}

void readFrameRgb(Gfx&, const PixelRect& rect, uint8_t* rgb) {
  readFrame(rect, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

void readFrameRgba(Gfx&, const PixelRect& rect, uint8_t* rgba) {
  readFrame(rect, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void readFrameBlue(Gfx&, const PixelRect& rect, uint8_t* blue) {
  readFrame(rect, GL_BLUE, GL_UNSIGNED_BYTE, blue);
}

void readFrameDepth(Gfx&, const PixelRect& rect, float* depth) {
  readFrame(rect, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
}

void finishDrawing(Gfx&) { glFinish(); }

// --- The feedback effects' blur taps ---

namespace {

// Over the fixed-function vertex stage: the quad's texture coordinates arrive
// in gl_TexCoord[0]. Alpha 1 under the pass's (source alpha, destination
// alpha) blend adds the sum onto the frame, as the four quads do.
const char* const kBlurTapsSource =
    "#version 110\n"
    "uniform sampler2D picture;\n"
    "uniform vec2 spread;\n"
    "void main() {\n"
    "  vec2 t = gl_TexCoord[0].st;\n"
    "  vec3 sum = texture2D(picture, t + vec2(-spread.x, -spread.y)).rgb\n"
    "           + texture2D(picture, t + vec2( spread.x, -spread.y)).rgb\n"
    "           + texture2D(picture, t + vec2(-spread.x,  spread.y)).rgb\n"
    "           + texture2D(picture, t + vec2( spread.x,  spread.y)).rgb;\n"
    "  gl_FragColor = vec4(sum * 0.25390625, 1.0);\n"
    "}\n";

// A program of one fragment shader; 0 where the context has no shaders
// (below GL 2) or the source does not build.
GLuint buildFragmentProgram(const char* source) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version || std::atoi(version) < 2) return 0;
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    glDeleteShader(shader);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, shader);
  glLinkProgram(program);
  glDeleteShader(shader);
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    glDeleteProgram(program);
    return 0;
  }
  return program;
}

}  // namespace

void prepareBlurTaps(Gfx& gfx) {
  Gfx::BlurTapsProgram& taps = gfx.blurTaps;
  if (taps.made) return;
  taps.made = true;
  const GLuint program = buildFragmentProgram(kBlurTapsSource);
  if (!program) return;
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "picture"), 0);
  glUseProgram(0);
  taps.program = program;
  taps.spreadLocation = glGetUniformLocation(program, "spread");
}

void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread) {
  desktop::prepareBlurTaps(gfx);
  if (gfx.blurTaps.program) {
    Vertex corners[4];
    for (int c = 0; c < 4; ++c) {
      corners[c] = quad[c];
      corners[c].r = corners[c].g = corners[c].b = 0.0f;
      corners[c].a = 1.0f;
    }
    glUseProgram(gfx.blurTaps.program);
    glUniform2f(gfx.blurTaps.spreadLocation, spread, spread);
    drawArrays(GL_QUADS, pass, corners, 4);
    glUseProgram(0);
    return;
  }
  // The inner loop runs over s, the outer over t.
  Vertex taps[16];
  Vertex* v = taps;
  for (float dt : {-spread, spread}) {
    for (float ds : {-spread, spread}) {
      for (int c = 0; c < 4; ++c, ++v) {
        *v = quad[c];
        v->r = v->g = v->b = 0.0f;
        v->a = kBlurTapWeight;
        v->s = quad[c].s + ds;
        v->t = quad[c].t + dt;
      }
    }
  }
  drawArrays(GL_QUADS, pass, taps, 16);
}

std::string rendererName(Gfx&) {
  const GLubyte* name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char*>(name) : "";
}

// Desktop GL's version string gives the number first ("4.5 (Compatibility
// Profile) Mesa ...").
std::string apiName(Gfx&) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return "OpenGL";
  const std::string v = version;
  return "OpenGL " + v.substr(0, v.find(' '));
}

void keepDestinationAlphaOpaque(Gfx&) {
  GLint alphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  if (alphaBits == 0) return;
  glClearColor(0, 0, 0, 1);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

unsigned createPixelBuffer(Gfx&, size_t bytes) {
  GLuint buffer = 0;
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_READ);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return buffer;
}

void deletePixelBuffer(Gfx&, unsigned buffer) {
  const GLuint b = buffer;
  glDeleteBuffers(1, &b);
}

void readFrameLater(Gfx&, unsigned buffer, const PixelRect& r) {
  // Four bytes a pixel in the framebuffer's own order: a plain copy for the
  // driver, where three-byte RGB would be converted before the map.
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  readFrame(r, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  // Unbound at once: every other read goes to client memory.
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

bool takeFrameRead(Gfx&, unsigned buffer, int width, int height, uint8_t* bgrx) {
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  const auto* mapped = static_cast<const uint8_t*>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
  if (mapped) {
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height; ++y)
      std::memcpy(bgrx + y * row, mapped + size_t(height - 1 - y) * row, row);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return mapped != nullptr;
}

}  // namespace desktop
