// How the texture bound to GL_TEXTURE_2D is sampled: what the CPU painters
// check before reproducing a draw that reads it.
#pragma once

#include <GL/gl.h>

struct TextureSampling {
  GLint width = 0;
  GLint height = 0;
  GLint internalFormat = 0;
  GLint wrapS = 0;
  GLint wrapT = 0;
  GLint minFilter = 0;
  GLint magFilter = 0;
  GLfloat border[4] = {0, 0, 0, 0};

  // Linear both ways and repeating both ways.
  bool linearAndRepeating() const;
};

// Level 0's size and format and the texture's wrap, filters and border.
TextureSampling boundTextureSampling();
