#include "software/band_picture.h"

#include <EGL/egl.h>
#include <GL/gl.h>

namespace {

// One texture for every band picture, made on first use in each context (a
// test may make another): a picture drawn straight from memory costs
// llvmpipe a texture made and freed each time.
GLuint texture = 0;
EGLContext textureContext = EGL_NO_CONTEXT;

}  // namespace

void drawBandPicture(const uint8_t* rgba, BandMode mode) {
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  if (texture == 0 || eglGetCurrentContext() != textureContext) {
    textureContext = eglGetCurrentContext();
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Nearest texels at pixel centres: an exact copy.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBandWidth, kBandHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kBandWidth, kBandHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                  rgba);

  if (mode == BandMode::kAdd) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
  } else {
    glDisable(GL_BLEND);
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  if (mode == BandMode::kKeyed) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
  } else {
    glDisable(GL_ALPHA_TEST);
  }
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Rows 64..320 of the 384-row viewport.
  const float bottom = 64.0f / 192.0f - 1.0f;
  const float top = 320.0f / 192.0f - 1.0f;
  const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  glBegin(GL_QUADS);
  for (const auto& c : corners) {
    glTexCoord2f(c[0], c[1]);
    glVertex3f(2 * c[0] - 1, c[1] > 0 ? top : bottom, 0);
  }
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
