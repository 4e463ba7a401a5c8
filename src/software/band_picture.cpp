#define GL_GLEXT_PROTOTYPES
#include "software/band_picture.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

enum class BandMode { kReplace, kKeyed, kAdd };

// Pixels drawn straight from memory need no texture of ours, which would be
// lost with its context; they still pass the alpha test and the blend.
void putBandPicture(const uint8_t* rgba, BandMode mode) {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  if (mode == BandMode::kAdd) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
  } else {
    glDisable(GL_BLEND);
  }
  if (mode == BandMode::kKeyed) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
  } else {
    glDisable(GL_ALPHA_TEST);
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_TEXTURE_2D);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glWindowPos2i(0, 64);
  glDrawPixels(512, 256, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glPopClientAttrib();
  glPopAttrib();
}

}  // namespace

void drawBandPicture(const uint8_t* rgba, bool keyed) {
  putBandPicture(rgba, keyed ? BandMode::kKeyed : BandMode::kReplace);
}

void addBandPicture(const uint8_t* rgba) { putBandPicture(rgba, BandMode::kAdd); }
