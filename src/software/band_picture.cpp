#include "software/band_picture.h"

#include <EGL/egl.h>
#include <GL/gl.h>

namespace {

enum class BandMode { kReplace, kKeyed, kAdd };

// One texture for every band picture, made on first use in each context (a
// test may make another): a picture drawn straight from memory costs
// llvmpipe a texture made and freed each time.
GLuint texture = 0;
EGLContext textureContext = EGL_NO_CONTEXT;

void putBandPicture(const uint8_t* rgba, BandMode mode) {
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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 512, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 512, 256, GL_RGBA, GL_UNSIGNED_BYTE, rgba);

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
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-1, bottom, 0);
  glTexCoord2f(1, 0);
  glVertex3f(1, bottom, 0);
  glTexCoord2f(1, 1);
  glVertex3f(1, top, 0);
  glTexCoord2f(0, 1);
  glVertex3f(-1, top, 0);
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

}  // namespace

void drawBandPicture(const uint8_t* rgba, bool keyed) {
  putBandPicture(rgba, keyed ? BandMode::kKeyed : BandMode::kReplace);
}

void addBandPicture(const uint8_t* rgba) { putBandPicture(rgba, BandMode::kAdd); }

