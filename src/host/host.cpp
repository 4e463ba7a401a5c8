#include "host/host.h"

#include <malloc.h>

#include "host/director.h"
#include "host/letterbox.h"
#include "host/loader.h"
#include "host/render_path.h"

int screenWidth = 800;
int screenHeight = 600;
bool musicEnabled = true;
bool fullscreen = true;
int startOffsetMs = 0;

bool quitRequested = false;
GLuint screenTexture = 0;

void requestQuit() { quitRequested = true; }

void setSceneViewport(int width, int height) {
  if (height == 0) return;
  screenWidth = width;
  screenHeight = height;
  glViewport(0, 0, 512, 384);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-256, 256, -192, 192, 0, 1);
  glMatrixMode(GL_MODELVIEW);
}

void setScreenViewport() {
  const ViewRect r = letterboxRect(screenWidth, screenHeight);
  glViewport(r.x, r.y, r.width, r.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-r.width * 0.5, r.width * 0.5, -r.height * 0.5, r.height * 0.5, 0.1, 100000);
  glMatrixMode(GL_MODELVIEW);
}

// Black over the drawable outside the 4:3 rectangle. Drawn rather than
// cleared: the clear inside keeps the scene's clear colour, which is not
// read back. Leaves the rectangle's viewport and projection current.
static void blackenOutside(const ViewRect& r) {
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
  setScreenViewport();
}

void pushIdentityMatrices() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void popMatrices() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
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

// Blends with GL_DST_ALPHA assume a framebuffer without alpha, where it reads
// as 1. If the driver gave us an alpha channel anyway, fill it with 1 once and
// never write it again, which reads the same.
static void keepDestinationAlphaOpaque() {
  GLint alphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  if (alphaBits == 0) return;
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(0, 0, 0, 1);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

// Mesa's software rasteriser mallocs and frees its binning memory every
// frame; with glibc's default trim threshold the top of the heap goes back to
// the kernel after each frame and is faulted in again on the next, which
// costs more than the whole ray grid under llvmpipe. Keep freed memory.
static void keepHeapFromShrinking() {
#ifdef M_TRIM_THRESHOLD
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

void initGl() {
  keepHeapFromShrinking();
  settleRenderPath();
  loadEverything();
  setDefaultGlState();
  keepDestinationAlphaOpaque();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glGenTextures(1, &screenTexture);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 64, 512, 256, 0);
}

void presentBand() {
  setScreenViewport();
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 64, 512, 256);
  glClear(GL_COLOR_BUFFER_BIT);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);
  const ViewRect r = letterboxRect(screenWidth, screenHeight);
  blackenOutside(r);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
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

void renderFrame(int nowMs, bool draw) {
  if (!draw) {
    Director(nowMs, false);
    return;
  }
  setSceneViewport(screenWidth, screenHeight);
  Director(nowMs);
  presentBand();
}
