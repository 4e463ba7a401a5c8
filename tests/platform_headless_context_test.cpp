#include "gl_test_context.h"

TEST(HeadlessContext, HasDepthAndNoAlpha) {
  ASSERT_TRUE(useHeadlessGl(512, 384));
  GLint alpha = -1, depth = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alpha);
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  EXPECT_EQ(alpha, 0);
  EXPECT_GE(depth, 24);
}
