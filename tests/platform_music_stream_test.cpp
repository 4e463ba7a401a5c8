#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/music_stream.h"

namespace {

const char kMusic[] = LUMIVAARA_BUILD_DIR "/Music/virtaus.ogg";

// SDL's dummy driver consumes audio in real time without sound hardware.
struct MusicStreamTest : ::testing::Test {
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(musicInit());
  }
  void TearDown() override { musicShutdown(); }
};

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

TEST_F(MusicStreamTest, MissingOrForeignFilesDoNotOpen) {
  EXPECT_EQ(musicOpen("/nonexistent/virtaus.ogg"), nullptr);
  EXPECT_EQ(musicOpen(LUMIVAARA_SOURCE_DIR "/README.md"), nullptr);
  EXPECT_FALSE(musicPlay(nullptr));
  EXPECT_EQ(musicGetTime(nullptr), 0);
}

TEST_F(MusicStreamTest, SeekedPositionIsReportedWithinOneBuffer) {
  MusicStream* s = musicOpen(kMusic);
  ASSERT_NE(s, nullptr) << kMusic;
  ASSERT_TRUE(musicPlay(s));
  musicSetTime(s, 60000);
  const int oneBufferMs = 1024 * 1000 / 44100 + 1;
  const int right = musicGetTime(s);
  EXPECT_GE(right, 60000);
  EXPECT_LE(right, 60000 + oneBufferMs);

  // The clock then follows playback, smoothly and never backwards.
  int previous = right;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) {
    sleepMs(4);
    const int now = musicGetTime(s);
    ASSERT_GE(now, previous);
    previous = now;
  }
  const int elapsed = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count());
  const int advanced = previous - right;
  EXPECT_GT(advanced, elapsed - 3 * oneBufferMs);
  EXPECT_LE(advanced, elapsed + oneBufferMs);
  musicClose(s);
}

TEST_F(MusicStreamTest, ClockKeepsRunningPastTheEndOfTheFile) {
  MusicStream* s = musicOpen(kMusic);
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(musicPlay(s));
  musicSetTime(s, 100000000);  // far past the end: clamped to the last sample
  const int atEnd = musicGetTime(s);
  EXPECT_GT(atEnd, 300000);
  sleepMs(200);
  EXPECT_GT(musicGetTime(s), atEnd + 100);
  musicClose(s);
}
