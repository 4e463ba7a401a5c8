#include <gtest/gtest.h>

#include <GL/gl.h>

#include "gl_test_context.h"
#include "textures/texture_store.h"
#include "textures_test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

TextureStore storeOf(uint32_t width, uint32_t height, Bytes pixels) {
  TextureStore s;
  s.width = width;
  s.height = height;
  s.pixels = std::move(pixels);
  return s;
}

TEST(TexturesStore, KeyedRuleMatchesTheKeyExactly) {
  const TextureStore s = storeOf(4, 1, {255, 255, 255, 0, 0, 0, 254, 255, 255, 10, 20, 30});
  EXPECT_EQ(keyedRgba(s, 255, 255, 255, true),
            (Bytes{0, 0, 0, 0, 255, 255, 255, 255, 1, 0, 0, 255, 245, 235, 225, 255}));
  EXPECT_EQ(keyedRgba(s, 255, 255, 255, false),
            (Bytes{0, 0, 0, 0, 0, 0, 0, 255, 254, 255, 255, 255, 10, 20, 30, 255}));
  // Key black: only (0, 0, 0) goes transparent.
  EXPECT_EQ(keyedRgba(s, 0, 0, 0, true),
            (Bytes{0, 0, 0, 255, 0, 0, 0, 0, 1, 0, 0, 255, 245, 235, 225, 255}));
}

// Texture contents read back in the store's row order.
Bytes readBack(GLuint name, GLenum format, int components) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  Bytes out(size_t(w) * size_t(h) * size_t(components));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return out;
}

GLint levelParameter(GLuint name, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint v = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &v);
  return v;
}

struct TextureNames {
  GLuint names[4] = {};
  TextureNames() { glGenTextures(4, names); }
  ~TextureNames() { glDeleteTextures(4, names); }
};

TEST(TexturesStore, UploadsRgbAndKeyedImages) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  TextureNames t;
  const Bytes pixels = {255, 255, 255, 0, 0, 0, 254, 255, 255, 10, 20, 30,
                        1, 2, 3, 4, 5, 6, 7, 8, 9, 255, 255, 255};
  const TextureStore s = storeOf(4, 2, pixels);
  uploadRgb(testDemo().gfx, s, t.names[0]);
  EXPECT_EQ(levelParameter(t.names[0], GL_TEXTURE_WIDTH), 4);
  EXPECT_EQ(levelParameter(t.names[0], GL_TEXTURE_HEIGHT), 2);
  EXPECT_EQ(readBack(t.names[0], GL_RGB, 3), pixels);
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);

  uploadKeyed(testDemo().gfx, s, t.names[1], 255, 255, 255, true);
  EXPECT_EQ(readBack(t.names[1], GL_RGBA, 4), keyedRgba(s, 255, 255, 255, true));
  EXPECT_GT(levelParameter(t.names[1], GL_TEXTURE_ALPHA_SIZE), 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(TexturesStore, RowsNotAMultipleOfFourBytesUploadIntact) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  TextureNames t;
  Bytes pixels(3 * 3 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 9);
  uploadRgb(testDemo().gfx, storeOf(3, 3, pixels), t.names[0]);
  EXPECT_EQ(readBack(t.names[0], GL_RGB, 3), pixels);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);  // left as it was
}

TEST(TexturesStore, FailedLoadUploadsThePreviousImage) {
  ASSERT_TRUE(useHeadlessGl(64, 64));
  TextureNames t;
  TextureStore store;
  store.gfx = &testDemo().gfx;
  ::testing::internal::CaptureStderr();
  // Nothing decoded yet: the slot stays empty.
  store.loadPcxTexture(scratchPath("missing_a.pcx"), t.names[0]);
  EXPECT_EQ(levelParameter(t.names[0], GL_TEXTURE_WIDTH), 0);

  const std::string good = writeScratch("good.pcx", pcxPlanar(2, 1, {1, 2, 3, 4, 5, 6}));
  store.loadPcxTexture(good, t.names[1]);
  store.loadJpegTexture(scratchPath("missing_b.jpg"), t.names[2]);
  store.loadPcxTextureKeyed(scratchPath("missing_c.pcx"), t.names[3], 0, 0, 0, true);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3) << said;

  const Bytes expected = {1, 3, 5, 2, 4, 6};
  EXPECT_EQ(readBack(t.names[1], GL_RGB, 3), expected);
  EXPECT_EQ(readBack(t.names[2], GL_RGB, 3), expected);
  EXPECT_EQ(readBack(t.names[3], GL_RGBA, 4), (Bytes{254, 252, 250, 255, 253, 251, 249, 255}));
}

}  // namespace
