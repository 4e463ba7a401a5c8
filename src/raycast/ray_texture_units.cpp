#define GL_GLEXT_PROTOTYPES
#include "raycast/ray_texture_units.h"

#include <GL/glext.h>

#include <string>

#include "effects/fragment_program.h"

namespace {

// The unit index arrives in texture coordinate set 1, the same at all four
// corners of a quad; comparing with half-way values is safe against
// interpolation rounding.
std::string fragmentSource(int units) {
  std::string s =
      "#version 110\n"
      "uniform sampler2D units[8];\n"
      "void main() {\n"
      "  vec2 st = gl_TexCoord[0].st;\n"
      "  float k = gl_TexCoord[1].x;\n"
      "  vec4 t;\n";
  for (int u = 0; u < units; ++u) {
    s += u == 0 ? "  if" : "  else if";
    s += " (k < " + std::to_string(u) + ".5) t = texture2D(units[" + std::to_string(u) +
         "], st);\n";
  }
  s += "  else t = vec4(0.0);\n"
       "  gl_FragColor = vec4(clamp(gl_Color.rgb + t.rgb, 0.0, 1.0), gl_Color.a * t.a);\n"
       "}\n";
  return s;
}

GLuint build(int units) {
  const GLuint program = buildFragmentProgram(fragmentSource(units).c_str());
  if (!program) return 0;
  GLint previous = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
  glUseProgram(program);
  for (int u = 0; u < kRayTextureUnits; ++u) {
    const std::string name = "units[" + std::to_string(u) + "]";
    glUniform1i(glGetUniformLocation(program, name.c_str()), u);
  }
  glUseProgram(GLuint(previous));
  return program;
}

}  // namespace

GLuint rayTextureUnitProgram(int units) {
  if (units < 1 || units > kRayTextureUnits) return 0;
  static GLuint programs[kRayTextureUnits + 1] = {};
  static bool tried[kRayTextureUnits + 1] = {};
  GLuint& program = programs[units];
  if (program != 0 && !glIsProgram(program)) tried[units] = false;  // a new context
  if (!tried[units]) {
    tried[units] = true;
    program = build(units);
  }
  return program;
}

bool rayTextureUnitsFitState() {
  GLint env = 0, program = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  GLint activeUnit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
  return env == GL_ADD && program == 0 && activeUnit == GL_TEXTURE0 &&
         glIsEnabled(GL_TEXTURE_2D) && !glIsEnabled(GL_FOG) && !glIsEnabled(GL_COLOR_SUM);
}
