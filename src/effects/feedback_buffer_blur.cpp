// The four-tap blur pass of FeedbackBuffer as one quad. Four blended quads
// cost four times the fragments and framebuffer traffic, which dominates the
// dissolve on a software rasteriser; one fragment summing the four taps at the
// same weight gives the same picture.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "effects/feedback_buffer.h"
#include "effects/fragment_program.h"

namespace {

// Fixed-function vertex stage: the band quad's texture coordinates arrive in
// gl_TexCoord[0]. Alpha 1 under the (source alpha, destination alpha) blend
// adds the sum onto the cleared frame, as the four quads did.
const char* const kBlurFragmentSource =
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

}  // namespace

void createBlurProgram(FeedbackBuffer& fb) {
  fb.blurProgram = 0;
  fb.blurSpreadLocation = -1;
  const GLuint program = buildFragmentProgram(kBlurFragmentSource);
  if (!program) return;
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "picture"), 0);
  glUseProgram(0);
  fb.blurProgram = program;
  fb.blurSpreadLocation = glGetUniformLocation(program, "spread");
}

void drawBlurTaps(const FeedbackBuffer& fb, float half, float tapAlpha) {
  if (fb.blurProgram) {
    glUseProgram(fb.blurProgram);
    glUniform2f(fb.blurSpreadLocation, half, half);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-256.0f, -128.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(256.0f, -128.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(256.0f, 128.0f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-256.0f, 128.0f, -1.0f);
    glEnd();
    glUseProgram(0);
    return;
  }
  // The inner loop runs over u, the outer over v.
  for (float oy : {-half, half}) {
    for (float ox : {-half, half}) {
      glColor4f(0.0f, 0.0f, 0.0f, tapAlpha);
      glBegin(GL_QUADS);
      glTexCoord2f(0.0f + ox, 0.0f + oy);
      glVertex3f(-256.0f, -128.0f, -1.0f);
      glTexCoord2f(1.0f + ox, 0.0f + oy);
      glVertex3f(256.0f, -128.0f, -1.0f);
      glTexCoord2f(1.0f + ox, 1.0f + oy);
      glVertex3f(256.0f, 128.0f, -1.0f);
      glTexCoord2f(0.0f + ox, 1.0f + oy);
      glVertex3f(-256.0f, 128.0f, -1.0f);
      glEnd();
    }
  }
}
