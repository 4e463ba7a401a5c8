#include "host/screen.h"

#include <GL/gl.h>

#include "host/demo.h"
#include "host/letterbox.h"

void setSceneRegion() {
  glViewport(0, 0, 512, 384);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-256, 256, -192, 192, 0, 1);
  glMatrixMode(GL_MODELVIEW);
}

void setSceneViewport(Demo& demo, int width, int height) {
  if (height == 0) return;
  demo.screenWidth = width;
  demo.screenHeight = height;
  setSceneRegion();
}

void setScreenViewport(const Demo& demo) {
  const ViewRect r = letterboxRect(demo.screenWidth, demo.screenHeight);
  glViewport(r.x, r.y, r.width, r.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-r.width * 0.5, r.width * 0.5, -r.height * 0.5, r.height * 0.5, 0.1, 100000);
  glMatrixMode(GL_MODELVIEW);
}

// Black over the drawable outside the 4:3 rectangle. Drawn rather than
// cleared: the clear inside keeps the scene's clear colour, which is not
// read back. Leaves the rectangle's viewport and projection current.
static void blackenOutside(const Demo& demo, const ViewRect& r) {
  const int screenWidth = demo.screenWidth, screenHeight = demo.screenHeight;
  if (r.width == screenWidth && r.height == screenHeight) return;
  glViewport(0, 0, screenWidth, screenHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, screenWidth, 0, screenHeight, 0.1, 100000);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 0, 0, 1);
  const float x0 = static_cast<float>(r.x), x1 = static_cast<float>(r.x + r.width);
  const float y0 = static_cast<float>(r.y), y1 = static_cast<float>(r.y + r.height);
  const float w = static_cast<float>(screenWidth), h = static_cast<float>(screenHeight);
  const float strips[4][4] = {{0, 0, x0, h}, {x1, 0, w, h}, {x0, 0, x1, y0}, {x0, y1, x1, h}};
  glBegin(GL_QUADS);
  for (const auto& s : strips) {
    glVertex3f(s[0], s[1], -1);
    glVertex3f(s[2], s[1], -1);
    glVertex3f(s[2], s[3], -1);
    glVertex3f(s[0], s[3], -1);
  }
  glEnd();
  glEnable(GL_TEXTURE_2D);
  setScreenViewport(demo);
}

void setDefaultGlState() {
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glEnable(GL_TEXTURE_2D);
  glClearColor(0, 0, 0, 1);
  glDisable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT);
}

void createScreenTexture(Demo& demo) {
  glGenTextures(1, &demo.screenTexture);
  glBindTexture(GL_TEXTURE_2D, demo.screenTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 64, 512, 256, 0);
}

void presentBand(const Demo& demo) {
  setScreenViewport(demo);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glBindTexture(GL_TEXTURE_2D, demo.screenTexture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 64, 512, 256);
  glClear(GL_COLOR_BUFFER_BIT);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);
  const ViewRect r = letterboxRect(demo.screenWidth, demo.screenHeight);
  blackenOutside(demo, r);
  glBindTexture(GL_TEXTURE_2D, demo.screenTexture);
  glColor4f(0, 0, 0, 1);
  const float sx = r.width * 0.0009765625f;
  const float sy = r.height * 0.0013020834f;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-512 * sx, -256 * sy, -1);
  glTexCoord2f(1, 0);
  glVertex3f(512 * sx, -256 * sy, -1);
  glTexCoord2f(1, 1);
  glVertex3f(512 * sx, 256 * sy, -1);
  glTexCoord2f(0, 1);
  glVertex3f(-512 * sx, 256 * sy, -1);
  glEnd();
  glPopMatrix();
}
