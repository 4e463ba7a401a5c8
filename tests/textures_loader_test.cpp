#include <gtest/gtest.h>

#include <memory>

#include <GL/gl.h>

#include "gl_test_context.h"
#include "effects/feedback_buffer.h"
#include "host/demo.h"
#include "host/loader.h"
#include "platform/headless_context.h"
#include "textures/slot_table.h"
#include "textures/texture_store.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The loader has to meet a context that has handed out no texture names yet,
// so this test makes its own and leaves it current (and alive) for whatever
// runs after it in the same process.
bool freshContext() {
  static HeadlessContext ctx;
  std::string error;
  const bool ok = createHeadlessContext(ctx, 800, 600, &error);
  EXPECT_TRUE(ok) << error;
  return ok;
}

GLint level(GLuint name, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint v = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &v);
  return v;
}

Bytes contents(GLuint name) {
  const GLint w = level(name, GL_TEXTURE_WIDTH), h = level(name, GL_TEXTURE_HEIGHT);
  Bytes out(size_t(w) * size_t(h) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
  return out;
}

TEST(TexturesLoader, FillsEverySlotAndKeepsLaterNamesAbove40) {
  ASSERT_TRUE(freshContext());
  auto demo = std::make_unique<Demo>();
  ::testing::internal::CaptureStderr();
  loadEverything(*demo);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.find("Images/"), std::string::npos) << said;  // every image found and decoded

  for (size_t i = 0; i < kTextureSlotCount; ++i) {
    const TextureSlotLoad& entry = kTextureSlots[i];
    SCOPED_TRACE(entry.file);
    TextureStore store;
    const std::string path = std::string(LUMIVAARA_BUILD_DIR) + "/" + entry.file;
    ASSERT_TRUE(entry.loader == ImageLoader::Jpeg ? store.loadJpeg(path) : store.loadPcx(path));
    EXPECT_EQ(level(entry.slot, GL_TEXTURE_WIDTH), GLint(store.width));
    EXPECT_EQ(level(entry.slot, GL_TEXTURE_HEIGHT), GLint(store.height));
    const bool keyed = entry.loader == ImageLoader::PcxKeyed;
    EXPECT_EQ(level(entry.slot, GL_TEXTURE_ALPHA_SIZE) > 0, keyed);
    if (keyed) {
      Bytes rgba = keyedRgba(store, entry.key[0], entry.key[1], entry.key[2], true);
      EXPECT_TRUE(contents(entry.slot) == rgba);
    }
  }
  // Reserved slots the table leaves empty stay so (slot 1 is the lantern
  // corridor set-up's own).
  for (GLuint empty : {19u, 32u, 40u}) EXPECT_EQ(level(empty, GL_TEXTURE_WIDTH), 0) << empty;
  // Twice-loaded images are identical in both slots.
  EXPECT_TRUE(contents(22) == contents(23));
  EXPECT_TRUE(contents(24) == contents(25));
  EXPECT_TRUE(contents(29) == contents(30));

  GLuint later = 0;
  glGenTextures(1, &later);
  EXPECT_GT(later, 40u);
  glDeleteTextures(1, &later);
  // The shared feedback buffer comes last, on names of its own.
  ASSERT_NE(demo->feedback, nullptr);
  for (GLuint name : demo->feedback->textures) EXPECT_GT(name, 40u);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
