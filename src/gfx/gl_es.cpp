// The layer on OpenGL ES 3.0 (and so WebGL 2): one program does what the
// fixed-function pipeline did for the desktop backend (texture combine, alpha
// key, per-vertex lighting, sphere mapping, GL_CLAMP's black border),
// vertices stream through one buffer, quads draw as indexed triangles, and
// the reads ES lacks go through framebuffers of our own.
#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gfx/backends.h"

namespace {

// Vertex stage: GL's per-vertex lighting with one light (ambient white,
// colour material on diffuse, no local viewer, one-sided, the normal matrix
// the inverse transpose of the modelview, normals not renormalised) and its
// sphere-map texture coordinates.
const char* const kVertexSource = R"(#version 300 es
uniform mat4 projection;
uniform mat4 modelview;
uniform mat3 normalMatrix;
uniform bool lit;
uniform bool sphereMapped;
uniform vec4 lightPosition;  // in eye space
uniform vec3 lightColour;
uniform vec4 materialAmbient;
uniform vec4 materialSpecular;
uniform float shininess;
uniform vec3 attenuation;
in vec3 position;
in vec4 colour;
in vec2 texCoord;
in vec3 normal;
in vec2 lineSpan;
out vec4 vColour;
out vec2 vTexCoord;
out vec2 vLineSpan;
void main() {
  vec4 eye = modelview * vec4(position, 1.0);
  gl_Position = projection * eye;
  vec3 n = normalMatrix * normal;
  vTexCoord = texCoord;
  vLineSpan = lineSpan;
  if (sphereMapped) {
    vec3 u = normalize(eye.xyz);
    vec3 r = u - 2.0 * n * dot(n, u);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vTexCoord = r.xy / m + 0.5;
  }
  // Fixed function clamps vertex colours to [0, 1] before they are used.
  vColour = clamp(colour, 0.0, 1.0);
  if (lit) {
    vec3 toLight = normalize(lightPosition.xyz);
    float weight = 1.0;
    if (lightPosition.w != 0.0) {
      vec3 d = lightPosition.xyz / lightPosition.w - eye.xyz;
      float dist = length(d);
      toLight = d / dist;
      weight = 1.0 / (attenuation.x + attenuation.y * dist + attenuation.z * dist * dist);
    }
    float nl = dot(n, toLight);
    // The light model's ambient (0.2) plus the light's own (white).
    vec3 c = 0.2 * materialAmbient.rgb +
             weight * (materialAmbient.rgb + max(nl, 0.0) * lightColour * colour.rgb);
    if (nl > 0.0) {
      float nh = max(dot(n, normalize(toLight + vec3(0.0, 0.0, 1.0))), 0.0);
      float spot = shininess > 0.0 ? pow(nh, shininess) : 1.0;
      c += weight * spot * lightColour * materialSpecular.rgb;
    }
    vColour = vec4(clamp(c, 0.0, 1.0), colour.a);
  }
}
)";

// Fragment stage: the texture combine on the vertex colour, GL_CLAMP's
// border as a fade of the edge texels, the alpha key, and the blur taps.
const char* const kFragmentSource = R"(#version 300 es
precision highp float;
uniform sampler2D picture;
uniform int combine;        // 0 none, 1 modulate, 2 add, 3 replace
uniform bool pictureRgb;    // replace keeps the vertex alpha
uniform bool borderFade;    // clamped to a black border, filtered
uniform bool alphaKeyed;
uniform float spread;       // above 0: the four blur taps
uniform float lineHalfWidth;  // above 0: a smooth line's reach in pixels
in vec4 vColour;
in vec2 vTexCoord;
in vec2 vLineSpan;
out vec4 fragColour;
vec4 sampleAt(vec2 t) {
  vec4 texel = texture(picture, t);
  if (borderFade) {
    vec2 size = vec2(textureSize(picture, 0));
    vec2 x = clamp(t, 0.0, 1.0) * size - 0.5;
    vec2 inside = clamp(min(x + 1.0, size - x), 0.0, 1.0);
    texel *= inside.x * inside.y;
  }
  return texel;
}
void main() {
  if (spread > 0.0) {
    vec3 sum = sampleAt(vTexCoord + vec2(-spread, -spread)).rgb +
               sampleAt(vTexCoord + vec2(spread, -spread)).rgb +
               sampleAt(vTexCoord + vec2(-spread, spread)).rgb +
               sampleAt(vTexCoord + vec2(spread, spread)).rgb;
    fragColour = vec4(sum * 0.25390625, 1.0);
    return;
  }
  vec4 c = vColour;
  if (lineHalfWidth > 0.0) {
    // Across, a tent a pixel each way; along, a ramp a pixel long over each
    // end (the spans run from half a pixel before the start and to half a
    // pixel past the end), and a segment shorter than a pixel weighed down
    // by 2 L / (L + 1), as the desktop driver weighs it.
    float reach = vLineSpan.x + vLineSpan.y;  // L + 1
    float along = clamp(min(vLineSpan.x, vLineSpan.y), 0.0, 1.0) *
                  min(1.0, 2.0 * (reach - 1.0) / reach);
    c.a *= clamp(1.0 - abs(vTexCoord.x) / lineHalfWidth, 0.0, 1.0) * along;
  } else if (combine == 1) {
    c *= sampleAt(vTexCoord);
  } else if (combine == 2) {
    vec4 t = sampleAt(vTexCoord);
    c = vec4(c.rgb + t.rgb, c.a * t.a);
  } else if (combine == 3) {
    vec4 t = sampleAt(vTexCoord);
    c = vec4(t.rgb, pictureRgb ? c.a : t.a);
  }
  if (alphaKeyed && c.a <= 0.5) discard;
  fragColour = c;
}
)";

// Depth texture to colour: 24 bits of depth spread over red, green, blue,
// read back and put together again exactly.
const char* const kDepthVertexSource = R"(#version 300 es
in vec3 position;
void main() { gl_Position = vec4(position.xy, 0.0, 1.0); }
)";
const char* const kDepthFragmentSource = R"(#version 300 es
precision highp float;
uniform highp sampler2D depth;
uniform ivec2 origin;
out vec4 fragColour;
void main() {
  float d = texelFetch(depth, origin + ivec2(gl_FragCoord.xy), 0).r;
  float x = min(floor(d * 16777215.0 + 0.5), 16777215.0);
  float high = floor(x / 65536.0);
  float middle = floor((x - high * 65536.0) / 256.0);
  float low = x - high * 65536.0 - middle * 256.0;
  fragColour = vec4(high, middle, low, 255.0) / 255.0;
}
)";

enum Attribute : GLuint { kPosition = 0, kColour = 1, kTexCoord = 2, kNormal = 3, kLineSpan = 4 };

// A corner of a smooth line's quad: the vertex, and its distances along the
// line from half a pixel before the start and to half a pixel past the end.
struct LineCorner {
  Vertex vertex;
  float fromStart, toEnd;
};

struct TextureInfo {
  GLuint gl = 0;  // the GL texture behind the layer's name; 0 while the name is free
  int width = 0, height = 0;
  bool rgb = false;
  bool borderFade = false;
};

}  // namespace

struct EsBackend {
  GLuint program = 0;
  struct {
    GLint projection, modelview, normalMatrix, lit, sphereMapped, lightPosition, lightColour,
        materialAmbient, materialSpecular, shininess, attenuation, combine, pictureRgb,
        borderFade, alphaKeyed, spread, lineHalfWidth;
  } at{};
  GLuint vertexArray = 0;
  GLuint vertexBuffer = 0;
  GLuint indexBuffer = 0;      // streamed indices (single quads, meshes)
  GLuint quadIndexBuffer = 0;  // (0,1,2)(0,2,3) a quad, grown on demand
  int quadIndexQuads = 0;
  GLuint readFramebuffer = 0;
  // Depth read: the frame's depth blitted into a depth texture, then drawn
  // as colour into a target of our own.
  GLuint depthProgram = 0;
  GLint depthOrigin = -1;
  GLuint depthTexture = 0, depthFramebuffer = 0, depthColour = 0, depthColourFramebuffer = 0;
  int depthWidth = 0, depthHeight = 0;
  // By the layer's texture name. The backend hands out names itself, lowest
  // free first from 1, as a fresh desktop context does: WebGL has one name
  // counter for every kind of object, so GL's own texture names would not
  // start at 1 after the programs and buffers made first.
  std::vector<TextureInfo> textures;
  std::vector<uint8_t> scratch;
  std::vector<LineCorner> lineQuads;
  std::vector<GLuint> indices;
};

void EsBackendRelease::operator()(EsBackend* b) const {
  if (!b) return;
  glDeleteProgram(b->program);
  glDeleteProgram(b->depthProgram);
  const GLuint buffers[] = {b->vertexBuffer, b->indexBuffer, b->quadIndexBuffer};
  glDeleteBuffers(3, buffers);
  glDeleteVertexArrays(1, &b->vertexArray);
  const GLuint framebuffers[] = {b->readFramebuffer, b->depthFramebuffer,
                                 b->depthColourFramebuffer};
  glDeleteFramebuffers(3, framebuffers);
  const GLuint textures[] = {b->depthTexture, b->depthColour};
  glDeleteTextures(2, textures);
  delete b;
}

namespace {

GLuint compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "OpenGL ES shader does not build: %s\n", log);
  }
  return shader;
}

GLuint link(const char* vertexSource, const char* fragmentSource) {
  const GLuint program = glCreateProgram();
  const GLuint vs = compile(GL_VERTEX_SHADER, vertexSource);
  const GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentSource);
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glBindAttribLocation(program, kPosition, "position");
  glBindAttribLocation(program, kColour, "colour");
  glBindAttribLocation(program, kTexCoord, "texCoord");
  glBindAttribLocation(program, kNormal, "normal");
  glBindAttribLocation(program, kLineSpan, "lineSpan");
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[1024] = "";
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "OpenGL ES program does not link: %s\n", log);
  }
  return program;
}

EsBackend* makeBackend() {
  auto* b = new EsBackend;
  b->program = link(kVertexSource, kFragmentSource);
  const GLuint p = b->program;
  auto& at = b->at;
  at.projection = glGetUniformLocation(p, "projection");
  at.modelview = glGetUniformLocation(p, "modelview");
  at.normalMatrix = glGetUniformLocation(p, "normalMatrix");
  at.lit = glGetUniformLocation(p, "lit");
  at.sphereMapped = glGetUniformLocation(p, "sphereMapped");
  at.lightPosition = glGetUniformLocation(p, "lightPosition");
  at.lightColour = glGetUniformLocation(p, "lightColour");
  at.materialAmbient = glGetUniformLocation(p, "materialAmbient");
  at.materialSpecular = glGetUniformLocation(p, "materialSpecular");
  at.shininess = glGetUniformLocation(p, "shininess");
  at.attenuation = glGetUniformLocation(p, "attenuation");
  at.combine = glGetUniformLocation(p, "combine");
  at.pictureRgb = glGetUniformLocation(p, "pictureRgb");
  at.borderFade = glGetUniformLocation(p, "borderFade");
  at.alphaKeyed = glGetUniformLocation(p, "alphaKeyed");
  at.spread = glGetUniformLocation(p, "spread");
  at.lineHalfWidth = glGetUniformLocation(p, "lineHalfWidth");
  glUseProgram(p);
  glUniform1i(glGetUniformLocation(p, "picture"), 0);
  b->depthProgram = link(kDepthVertexSource, kDepthFragmentSource);
  glUseProgram(b->depthProgram);
  glUniform1i(glGetUniformLocation(b->depthProgram, "depth"), 0);
  b->depthOrigin = glGetUniformLocation(b->depthProgram, "origin");
  glUseProgram(p);
  glGenVertexArrays(1, &b->vertexArray);
  glBindVertexArray(b->vertexArray);
  GLuint buffers[3];
  glGenBuffers(3, buffers);
  b->vertexBuffer = buffers[0];
  b->indexBuffer = buffers[1];
  b->quadIndexBuffer = buffers[2];
  glGenFramebuffers(1, &b->readFramebuffer);
  // Every transfer here has tight rows.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  return b;
}

EsBackend& backend(Gfx& gfx) {
  if (!gfx.es) gfx.es.reset(makeBackend());
  return *gfx.es;
}

TextureInfo& infoOf(EsBackend& b, TextureName name) {
  if (name >= b.textures.size()) b.textures.resize(name + 1);
  return b.textures[name];
}

void setEnabled(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

void applyFixedState(const Pass& pass) {
  const PassState& s = pass.state;
  glViewport(pass.viewport.x, pass.viewport.y, pass.viewport.width, pass.viewport.height);
  setEnabled(GL_BLEND, s.blend != Blend::kOff);
  switch (s.blend) {
    case Blend::kWeighted: glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA); break;
    case Blend::kOver: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case Blend::kAdd: glBlendFunc(GL_ONE, GL_ONE); break;
    case Blend::kInverseScreen: glBlendFunc(GL_ONE_MINUS_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR); break;
    case Blend::kScreen: glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR); break;
    case Blend::kOff: break;
  }
  setEnabled(GL_DEPTH_TEST, s.depth != DepthTest::kOff);
  if (s.depth != DepthTest::kOff)
    glDepthFunc(s.depth == DepthTest::kLess    ? GL_LESS
                : s.depth == DepthTest::kEqual ? GL_EQUAL
                                               : GL_ALWAYS);
  setEnabled(GL_CULL_FACE, s.cullBackFaces);
  setEnabled(GL_SCISSOR_TEST, s.scissored);
  if (s.scissored) glScissor(s.scissor.x, s.scissor.y, s.scissor.width, s.scissor.height);
}

// The inverse transpose of the modelview's upper 3 x 3, column-major.
void normalMatrixOf(const Mat4& m, float out[9]) {
  const double a = m.m[0], b = m.m[4], c = m.m[8];
  const double d = m.m[1], e = m.m[5], f = m.m[9];
  const double g = m.m[2], h = m.m[6], i = m.m[10];
  const double A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
  const double det = a * A + b * B + c * C;
  const double k = det != 0 ? 1 / det : 0;
  // Row r, column c of the inverse transpose is the cofactor (r, c) / det.
  const double cof[3][3] = {{A, B, C},
                            {-(b * i - c * h), a * i - c * g, -(a * h - b * g)},
                            {b * f - c * e, -(a * f - c * d), a * e - b * d}};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) out[col * 3 + row] = float(cof[row][col] * k);
}

// The texture the program samples, with what its sampling depends on.
void bindPicture(EsBackend& b, TextureName texture) {
  glActiveTexture(GL_TEXTURE0);
  const TextureInfo& info = infoOf(b, texture);
  glBindTexture(GL_TEXTURE_2D, info.gl);
  glUniform1i(b.at.pictureRgb, info.rgb);
  glUniform1i(b.at.borderFade, info.borderFade);
}

void applyPass(EsBackend& b, const Pass& pass, float spread = 0, float lineHalfWidth = 0) {
  applyFixedState(pass);
  const PassState& s = pass.state;
  const auto& at = b.at;
  glUseProgram(b.program);
  glUniformMatrix4fv(at.projection, 1, GL_FALSE, pass.projection.m);
  glUniformMatrix4fv(at.modelview, 1, GL_FALSE, pass.modelview.m);
  glUniform1i(at.lit, s.lit);
  glUniform1i(at.sphereMapped, s.sphereMapped);
  if (s.lit || s.sphereMapped) {
    float normal[9];
    normalMatrixOf(pass.modelview, normal);
    glUniformMatrix3fv(at.normalMatrix, 1, GL_FALSE, normal);
  }
  const bool textured = s.combine != Combine::kNone || spread > 0;
  glUniform1i(at.combine, int(s.combine));
  if (textured) bindPicture(b, pass.texture);
  glUniform1i(at.alphaKeyed, s.alphaKeyed);
  glUniform1f(at.spread, spread);
  glUniform1f(at.lineHalfWidth, lineHalfWidth);
}

void applyLighting(EsBackend& b, const Lighting& l) {
  float eye[4];
  for (int r = 0; r < 4; ++r) {
    eye[r] = 0;
    for (int c = 0; c < 4; ++c) eye[r] += l.placedBy.m[c * 4 + r] * l.position[c];
  }
  const auto& at = b.at;
  glUniform4fv(at.lightPosition, 1, eye);
  glUniform3fv(at.lightColour, 1, l.colour);
  glUniform4fv(at.materialAmbient, 1, l.materialAmbient);
  glUniform4fv(at.materialSpecular, 1, l.materialSpecular);
  glUniform1f(at.shininess, l.shininess);
  glUniform3fv(at.attenuation, 1, l.attenuation);
}

// Vertices `stride` bytes apart (a Vertex first), into the stream buffer.
void streamVertexArray(EsBackend& b, const void* data, GLsizei stride, int count) {
  glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(stride) * count, data, GL_STREAM_DRAW);
  glEnableVertexAttribArray(kPosition);
  glEnableVertexAttribArray(kColour);
  glEnableVertexAttribArray(kTexCoord);
  glDisableVertexAttribArray(kNormal);
  glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, x)));
  glVertexAttribPointer(kColour, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, r)));
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, s)));
  // GL's current normal when no array gives one.
  glVertexAttrib3f(kNormal, 0, 0, 1);
}

void streamVertices(EsBackend& b, const Vertex* v, int count) {
  streamVertexArray(b, v, sizeof(Vertex), count);
  glDisableVertexAttribArray(kLineSpan);
}

void streamLineCorners(EsBackend& b, const LineCorner* corners, int count) {
  streamVertexArray(b, corners, sizeof(LineCorner), count);
  glEnableVertexAttribArray(kLineSpan);
  glVertexAttribPointer(kLineSpan, 2, GL_FLOAT, GL_FALSE, sizeof(LineCorner),
                        reinterpret_cast<void*>(offsetof(LineCorner, fromStart)));
}

void streamIndices(EsBackend& b, const GLuint* indices, int count) {
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(sizeof(GLuint)) * count, indices,
               GL_STREAM_DRAW);
}

// Indices that split quads as the desktop driver splits arrayed GL_QUADS,
// (0,1,2) and (0,2,3), for at least `quads` quads, bound.
void bindQuadIndices(EsBackend& b, int quads) {
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.quadIndexBuffer);
  if (quads > b.quadIndexQuads) {
    std::vector<GLuint> corners;
    corners.reserve(size_t(quads) * 6);
    for (GLuint q = 0; q < GLuint(quads) * 4; q += 4)
      for (GLuint k : {0u, 1u, 2u, 0u, 2u, 3u}) corners.push_back(q + k);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(GLuint)),
                 corners.data(), GL_STATIC_DRAW);
    b.quadIndexQuads = quads;
  }
}

void drawStreamedQuads(EsBackend& b, int quads) {
  bindQuadIndices(b, quads);
  glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_INT, nullptr);
}

void drawQuadsWith(EsBackend& b, const Vertex* vertices, int count) {
  const int quads = count / 4;
  if (quads <= 0) return;
  streamVertices(b, vertices, quads * 4);
  drawStreamedQuads(b, quads);
}

// Stored channels from given ones: ES wants the data in the stored format.
const void* converted(EsBackend& b, const void* pixels, size_t count, PixelFormat stored,
                      PixelFormat given) {
  if (!pixels || stored == given) return pixels;
  const auto* in = static_cast<const uint8_t*>(pixels);
  b.scratch.resize(count * (stored == PixelFormat::kRgb ? 3 : 4));
  uint8_t* out = b.scratch.data();
  for (size_t i = 0; i < count; ++i) {
    if (stored == PixelFormat::kRgb) {
      std::memcpy(out + i * 3, in + i * 4, 3);
    } else {
      std::memcpy(out + i * 4, in + i * 3, 3);
      out[i * 4 + 3] = 255;
    }
  }
  return out;
}

GLenum formatOf(bool rgb) { return rgb ? GL_RGB : GL_RGBA; }

void readFrame(EsBackend& b, const PixelRect& r) {
  b.scratch.resize(size_t(r.width) * r.height * 4);
  glReadPixels(r.x, r.y, r.width, r.height, GL_RGBA, GL_UNSIGNED_BYTE, b.scratch.data());
}

}  // namespace

namespace es {

void start(Gfx& gfx) { backend(gfx); }

void drawQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  if (count < 4) return;
  EsBackend& b = backend(gfx);
  applyPass(b, pass);
  drawQuadsWith(b, vertices, count);
}

void drawQuadRuns(Gfx& gfx, const Pass& pass, const Vertex* vertices, const QuadRun* runs,
                  int runCount) {
  if (runCount <= 0) return;
  EsBackend& b = backend(gfx);
  int quads = 0;
  for (int i = 0; i < runCount; ++i)
    quads = std::max(quads, runs[i].firstQuad + runs[i].quadCount);
  Pass first = pass;
  first.texture = runs[0].texture;
  applyPass(b, first);
  streamVertices(b, vertices, quads * 4);
  bindQuadIndices(b, quads);
  const bool textured = pass.state.combine != Combine::kNone;
  for (int i = 0; i < runCount; ++i) {
    if (i > 0 && textured) bindPicture(b, runs[i].texture);
    const size_t firstIndex = size_t(runs[i].firstQuad) * 6;
    glDrawElements(GL_TRIANGLES, runs[i].quadCount * 6, GL_UNSIGNED_INT,
                   reinterpret_cast<void*>(firstIndex * sizeof(GLuint)));
  }
}

// Smooth lines as thin quads a pixel wide plus a pixel of fading coverage on
// each side (WebGL draws only 1-pixel lines, and none smooth); plain ones as
// GL's 1-pixel lines.
void drawLines(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  if (count < 2) return;
  EsBackend& b = backend(gfx);
  if (!pass.state.smoothLines) {
    applyPass(b, pass);
    streamVertices(b, vertices, count & ~1);
    glDrawArrays(GL_LINES, 0, count & ~1);
    return;
  }
  // Corners in normalised device space, offset by whole window pixels.
  const Mat4 clip = multiplied(pass.projection, pass.modelview);
  const float halfW = pass.viewport.width * 0.5f, halfH = pass.viewport.height * 0.5f;
  // Coverage falls from 1 on the centre to 0 a pixel away across the line,
  // and along it over a pixel at each end: a line one pixel wide and as long
  // as it is, as the desktop driver's smooth lines weigh.
  constexpr float kReach = 1.0f;
  b.lineQuads.clear();
  for (int i = 0; i + 1 < count; i += 2) {
    float p[2][3];
    bool behind = false;
    for (int e = 0; e < 2; ++e) {
      const Vertex& v = vertices[i + e];
      float q[4];
      for (int r = 0; r < 4; ++r)
        q[r] = clip.m[r] * v.x + clip.m[4 + r] * v.y + clip.m[8 + r] * v.z + clip.m[12 + r];
      behind = behind || q[3] <= 0;
      for (int r = 0; r < 3; ++r) p[e][r] = q[r] / q[3];
    }
    if (behind) continue;
    const float dx = (p[1][0] - p[0][0]) * halfW, dy = (p[1][1] - p[0][1]) * halfH;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len <= 0) continue;
    const float ux = dx / len, uy = dy / len;
    // Corners: start right, start left, end left, end right of the line;
    // each end reaches half a pixel past its endpoint.
    const float side[4] = {-1, 1, 1, -1};
    const int end[4] = {0, 0, 1, 1};
    for (int c = 0; c < 4; ++c) {
      const float along = end[c] == 0 ? -0.5f : 0.5f;
      LineCorner corner{vertices[i + end[c]], end[c] == 0 ? 0.0f : len + 1.0f,
                        end[c] == 0 ? len + 1.0f : 0.0f};
      Vertex& v = corner.vertex;
      v.x = p[end[c]][0] + (-uy * side[c] * kReach + ux * along) / halfW;
      v.y = p[end[c]][1] + (ux * side[c] * kReach + uy * along) / halfH;
      v.z = p[end[c]][2];
      v.s = side[c] * kReach;  // the distance across, for the coverage
      b.lineQuads.push_back(corner);
    }
  }
  if (b.lineQuads.empty()) return;
  Pass quads = pass;
  quads.projection = identityMatrix();
  quads.modelview = identityMatrix();
  applyPass(b, quads, 0, kReach);
  streamLineCorners(b, b.lineQuads.data(), int(b.lineQuads.size()));
  drawStreamedQuads(b, int(b.lineQuads.size()) / 4);
}

void drawSingleQuads(Gfx& gfx, const Pass& pass, const Vertex* vertices, int count) {
  const int quads = count / 4;
  if (quads <= 0) return;
  EsBackend& b = backend(gfx);
  b.indices.clear();
  for (GLuint q = 0; q < GLuint(quads) * 4; q += 4)
    for (GLuint k : {0u, 1u, 3u, 1u, 2u, 3u}) b.indices.push_back(q + k);
  applyPass(b, pass);
  streamVertices(b, vertices, quads * 4);
  streamIndices(b, b.indices.data(), int(b.indices.size()));
  glDrawElements(GL_TRIANGLES, GLsizei(b.indices.size()), GL_UNSIGNED_INT, nullptr);
}

void drawMesh(Gfx& gfx, const Pass& pass, const Lighting& lighting, const Colour& colour,
              const MeshVertex* vertices, const int32_t* indices, int indexCount) {
  if (indexCount <= 0) return;
  EsBackend& b = backend(gfx);
  applyPass(b, pass);
  if (pass.state.lit) applyLighting(b, lighting);
  int highest = 0;
  for (int i = 0; i < indexCount; ++i) highest = indices[i] > highest ? indices[i] : highest;
  glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(sizeof(MeshVertex)) * (highest + 1), vertices,
               GL_STREAM_DRAW);
  glEnableVertexAttribArray(kPosition);
  glDisableVertexAttribArray(kColour);
  glEnableVertexAttribArray(kTexCoord);
  glEnableVertexAttribArray(kNormal);
  glDisableVertexAttribArray(kLineSpan);
  glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                        reinterpret_cast<void*>(offsetof(MeshVertex, x)));
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                        reinterpret_cast<void*>(offsetof(MeshVertex, s)));
  glVertexAttribPointer(kNormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                        reinterpret_cast<void*>(offsetof(MeshVertex, nx)));
  glVertexAttrib4f(kColour, colour.r, colour.g, colour.b, colour.a);
  streamIndices(b, reinterpret_cast<const GLuint*>(indices), indexCount);
  glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
}

void clearFrame(Gfx& gfx, const Colour& colour, bool depthToo) {
  backend(gfx);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(colour.r, colour.g, colour.b, colour.a);
  glClear(depthToo ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
}

void clearDepth(Gfx& gfx) {
  backend(gfx);
  glDisable(GL_SCISSOR_TEST);
  glClear(GL_DEPTH_BUFFER_BIT);
}

TextureName createTexture(Gfx& gfx) {
  EsBackend& b = backend(gfx);
  TextureName name = 1;
  while (name < b.textures.size() && b.textures[name].gl != 0) ++name;
  TextureInfo& info = infoOf(b, name);
  glGenTextures(1, &info.gl);
  return name;
}

void deleteTexture(Gfx& gfx, TextureName name) {
  TextureInfo& info = infoOf(backend(gfx), name);
  if (info.gl != 0) glDeleteTextures(1, &info.gl);
  info = TextureInfo{};
}

void defineTexture(Gfx& gfx, TextureName name, int width, int height, PixelFormat stored,
                   PixelFormat given, const void* pixels, Wrap wrap, Filter filter) {
  EsBackend& b = backend(gfx);
  TextureInfo& info = infoOf(b, name);
  info.width = width;
  info.height = height;
  info.rgb = stored == PixelFormat::kRgb;
  // GL_CLAMP blends the edge with a black border only where it filters.
  info.borderFade = wrap == Wrap::kClampToBorder && filter == Filter::kLinear;
  glBindTexture(GL_TEXTURE_2D, info.gl);
  const GLint f = filter == Filter::kLinear ? GL_LINEAR : GL_NEAREST;
  const GLint w = wrap == Wrap::kRepeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, w);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, w);
  const void* data = converted(b, pixels, size_t(width) * height, stored, given);
  glTexImage2D(GL_TEXTURE_2D, 0, GLint(formatOf(info.rgb)), width, height, 0,
               formatOf(info.rgb), GL_UNSIGNED_BYTE, data);
}

void updateTexture(Gfx& gfx, TextureName name, int x, int y, int width, int height,
                   PixelFormat given, const void* pixels) {
  EsBackend& b = backend(gfx);
  const TextureInfo& info = infoOf(b, name);
  const PixelFormat stored = info.rgb ? PixelFormat::kRgb : PixelFormat::kRgba;
  const void* data = converted(b, pixels, size_t(width) * height, stored, given);
  glBindTexture(GL_TEXTURE_2D, info.gl);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, formatOf(info.rgb), GL_UNSIGNED_BYTE,
                  data);
}

void copyFrameToTexture(Gfx& gfx, TextureName name, const PixelRect& from) {
  EsBackend& b = backend(gfx);
  TextureInfo& info = infoOf(b, name);
  glBindTexture(GL_TEXTURE_2D, info.gl);
  // ES copies only into formats without more channels than the frame; a
  // frame without alpha reads alpha 1, as the desktop copy stores it.
  if (!info.rgb) {
    info.rgb = true;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, info.width, info.height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, from.x, from.y, from.width, from.height);
}

void readTexture(Gfx& gfx, TextureName name, uint8_t* rgba) {
  EsBackend& b = backend(gfx);
  const TextureInfo& info = infoOf(b, name);
  glBindFramebuffer(GL_FRAMEBUFFER, b.readFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, info.gl, 0);
  glReadPixels(0, 0, info.width, info.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void readFrameRgb(Gfx& gfx, const PixelRect& rect, uint8_t* rgb) {
  EsBackend& b = backend(gfx);
  readFrame(b, rect);
  const size_t n = size_t(rect.width) * rect.height;
  for (size_t i = 0; i < n; ++i) std::memcpy(rgb + i * 3, &b.scratch[i * 4], 3);
}

void readFrameRgba(Gfx& gfx, const PixelRect& rect, uint8_t* rgba) {
  backend(gfx);
  glReadPixels(rect.x, rect.y, rect.width, rect.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void readFrameBlue(Gfx& gfx, const PixelRect& rect, uint8_t* blue) {
  EsBackend& b = backend(gfx);
  readFrame(b, rect);
  const size_t n = size_t(rect.width) * rect.height;
  for (size_t i = 0; i < n; ++i) blue[i] = b.scratch[i * 4 + 2];
}

// ES reads no depth: the frame's depth is blitted into a depth texture, drawn
// as 24-bit colour into a target of our own, read and put together again.
void readFrameDepth(Gfx& gfx, const PixelRect& rect, float* depth) {
  EsBackend& b = backend(gfx);
  const int frameWidth = rect.x + rect.width, frameHeight = rect.y + rect.height;
  if (b.depthWidth < frameWidth || b.depthHeight < frameHeight) {
    if (!b.depthTexture) {
      glGenTextures(1, &b.depthTexture);
      glGenTextures(1, &b.depthColour);
      glGenFramebuffers(1, &b.depthFramebuffer);
      glGenFramebuffers(1, &b.depthColourFramebuffer);
    }
    b.depthWidth = frameWidth;
    b.depthHeight = frameHeight;
    glBindTexture(GL_TEXTURE_2D, b.depthTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, frameWidth, frameHeight, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, b.depthFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, b.depthTexture, 0);
    glBindTexture(GL_TEXTURE_2D, b.depthColour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, frameWidth, frameHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, b.depthColourFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, b.depthColour, 0);
  }
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, b.depthFramebuffer);
  glBlitFramebuffer(rect.x, rect.y, frameWidth, frameHeight, rect.x, rect.y, frameWidth,
                    frameHeight, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, b.depthColourFramebuffer);
  glViewport(0, 0, rect.width, rect.height);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glUseProgram(b.depthProgram);
  glUniform2i(b.depthOrigin, rect.x, rect.y);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, b.depthTexture);
  const Vertex cover[4] = {{-1, -1, 0, 0, 0, 0, 1, 0, 0},
                           {1, -1, 0, 0, 0, 0, 1, 0, 0},
                           {1, 1, 0, 0, 0, 0, 1, 0, 0},
                           {-1, 1, 0, 0, 0, 0, 1, 0, 0}};
  drawQuadsWith(b, cover, 4);
  readFrame(b, PixelRect{0, 0, rect.width, rect.height});
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  const size_t n = size_t(rect.width) * rect.height;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* p = &b.scratch[i * 4];
    depth[i] = float(double((p[0] << 16) | (p[1] << 8) | p[2]) / 16777215.0);
  }
}

void finishDrawing(Gfx& gfx) {
  backend(gfx);
  glFinish();
}

std::string rendererName(Gfx& gfx) {
  backend(gfx);
  const GLubyte* name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char*>(name) : "";
}

// ES's version string names the API itself: "OpenGL ES 3.2 Mesa ...".
std::string apiName(Gfx& gfx) {
  backend(gfx);
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return "OpenGL ES";
  const std::string v = version;
  return v.substr(0, v.find(' ', sizeof "OpenGL ES"));
}

void keepDestinationAlphaOpaque(Gfx& gfx) {
  backend(gfx);
  GLint alphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  if (alphaBits == 0) return;
  glClearColor(0, 0, 0, 1);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

unsigned createPixelBuffer(Gfx& gfx, size_t bytes) {
  backend(gfx);
  GLuint buffer = 0;
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_READ);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return buffer;
}

void deletePixelBuffer(Gfx& gfx, unsigned buffer) {
  backend(gfx);
  const GLuint b = buffer;
  glDeleteBuffers(1, &b);
}

// RGBA, the one order ES always reads; takeFrameRead swaps to BGRX.
void readFrameLater(Gfx& gfx, unsigned buffer, const PixelRect& r) {
  backend(gfx);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  glReadPixels(r.x, r.y, r.width, r.height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

bool takeFrameRead(Gfx& gfx, unsigned buffer, int width, int height, uint8_t* bgrx) {
  backend(gfx);
  const size_t row = size_t(width) * 4;
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  const auto* mapped = static_cast<const uint8_t*>(
      glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, GLsizeiptr(row * height), GL_MAP_READ_BIT));
  if (mapped) {
    for (int y = 0; y < height; ++y) {
      const uint8_t* from = mapped + size_t(height - 1 - y) * row;
      uint8_t* to = bgrx + y * row;
      for (size_t i = 0; i < row; i += 4) {
        to[i] = from[i + 2];
        to[i + 1] = from[i + 1];
        to[i + 2] = from[i];
        to[i + 3] = from[i + 3];
      }
    }
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return mapped != nullptr;
}

// The taps' program is the backend's own, made with it.
void prepareBlurTaps(Gfx& gfx) { backend(gfx); }

void drawBlurTaps(Gfx& gfx, const Pass& pass, const Vertex (&quad)[4], float spread) {
  EsBackend& b = backend(gfx);
  Vertex corners[4];
  for (int c = 0; c < 4; ++c) {
    corners[c] = quad[c];
    corners[c].r = corners[c].g = corners[c].b = 0.0f;
    corners[c].a = 1.0f;
  }
  applyPass(b, pass, spread);
  drawQuadsWith(b, corners, 4);
}

}  // namespace es
