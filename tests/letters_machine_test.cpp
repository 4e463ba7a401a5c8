#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "scenes/belt_letters.h"
#include "scenes/scroller.h"

namespace {

bool isSpace(int k) { return kScrollerMessage[k] == ' '; }

}  // namespace

TEST(LettersMessage, GlyphSetAndTables) {
  EXPECT_EQ(std::strlen(kScrollerMessage), size_t(kLetterCount));
  for (int k = 0; k < kLetterCount; ++k)
    EXPECT_TRUE(isSpace(k) || glyphIndex(kScrollerMessage[k]) >= 0) << k;
  EXPECT_EQ(glyphIndex(' '), -1);
  EXPECT_EQ(glyphIndex('a'), -1);
  EXPECT_EQ(glyphSlotTable[glyphIndex('A')], 0);
  EXPECT_EQ(glyphSlotTable[glyphIndex('Z')], 25);
  EXPECT_EQ(glyphSlotTable[glyphIndex('0')], 26);
  EXPECT_EQ(glyphSlotTable[glyphIndex('9')], 35);
  EXPECT_EQ(glyphSlotTable[glyphIndex('!')], 36);
  EXPECT_EQ(glyphSlotTable[glyphIndex('?')], 37);
  EXPECT_EQ(glyphSlotTable[glyphIndex('.')], 38);
  EXPECT_EQ(glyphSlotTable[glyphIndex('%')], 39);
  EXPECT_EQ(glyphSlotTable[glyphIndex('+')], 40);
  EXPECT_EQ(glyphSlotTable[glyphIndex(';')], 41);
  // Every slot is used once.
  bool seen[kGlyphCount] = {};
  for (int i = 0; i < kGlyphCount; ++i) seen[glyphSlotTable[i]] = true;
  for (bool s : seen) EXPECT_TRUE(s);

  EXPECT_FLOAT_EQ(letterGripFactor('I'), 0.91f);
  EXPECT_FLOAT_EQ(letterGripFactor('M'), 0.49f);
  EXPECT_FLOAT_EQ(letterGripFactor('W'), 0.49f);
  EXPECT_FLOAT_EQ(letterGripFactor('A'), 0.7f);
  EXPECT_FLOAT_EQ(letterGripFactor('7'), 0.7f);
  EXPECT_FLOAT_EQ(letterGripFactor(' '), 0.0f);
}

TEST(LettersLayout, FirstDrawsAfterSeed34AndShuffle) {
  static BeltLetters b;
  initLetters(b);
  // Seed 34 gives a, r, b = 149, 12717, 6028 and then 1389, 31870, 14234.
  EXPECT_FLOAT_EQ(b.letters[0].restOffset.x, 0.2f - 12717 * 0.00001220703125f);
  EXPECT_FLOAT_EQ(b.letters[0].restOffset.z, 2.0f);
  EXPECT_FLOAT_EQ(b.letters[0].startYaw, 6028 * 0.00009587371826171875f - 1.570795f);
  EXPECT_FLOAT_EQ(b.letters[1].restOffset.x, 0.2f - 31870 * 0.00001220703125f);
  EXPECT_FLOAT_EQ(b.letters[1].startYaw, 14234 * 0.00009587371826171875f - 1.570795f);

  const int firstOrder[20] = {0, 2, 3, 4, 1, 6, 7, 5, 9, 8, 11, 12, 10, 13, 15, 14, 17, 18, 19, 16};
  for (int k = 0; k < 20; ++k) EXPECT_EQ(b.order[k], firstOrder[k]) << k;

  bool used[kLetterCount] = {};
  for (int k = 0; k < kLetterCount; ++k) {
    const BeltLetter& l = b.letters[k];
    ASSERT_GE(b.order[k], 0);
    ASSERT_LT(b.order[k], kLetterCount);
    EXPECT_FALSE(used[b.order[k]]) << "order is a permutation";
    used[b.order[k]] = true;
    EXPECT_LE(std::abs(b.order[k] - k), 3) << "near-sorted";
    EXPECT_FLOAT_EQ(l.shuffledX, -2.5f - 2.0f * float(b.order[k]));
    EXPECT_FLOAT_EQ(l.sortedX, -2.5f - 2.0f * float(k));
    EXPECT_TRUE(l.restOffset.z == 2.0f || l.restOffset.z == -2.0f);
    EXPECT_GT(l.restOffset.x, -0.2f);
    EXPECT_LE(l.restOffset.x, 0.2f);
    EXPECT_GE(l.startYaw, -1.570795f);
    EXPECT_LT(l.startYaw, 1.570795f);
    EXPECT_EQ(l.state, int(Waiting));
  }
}

// A whole run at 30 frames per second with the scene's speed ramp, until
// every letter has left the belt.
TEST(LettersMachine, WholeRunSortsEveryLetterOnce) {
  static BeltLetters b;
  initLetters(b);
  TimeWindow speed{32, 4};
  const float dt = 1.0f / 30.0f;
  int picks[kLetterCount] = {};
  int lastPicked = -1;
  int prevState[kLetterCount] = {};
  bool wasCarrying = false;
  bool firstRidingSeen[kLetterCount] = {};
  int frames = 0;
  for (; frames < 30 * 200; ++frames) {
    const Vector3 handBefore = b.handTarget;
    advanceLetters(b, dt);
    int carried = 0;
    for (int k = 0; k < kLetterCount; ++k) {
      const BeltLetter& l = b.letters[k];
      if (l.state == Carried) ++carried;
      if (l.state == Carried && prevState[k] != Carried) {
        ++picks[k];
        EXPECT_FALSE(isSpace(k));
        // Among those eligible the lowest number goes first.
        for (int j = 0; j < k; ++j)
          EXPECT_FALSE(b.letters[j].state == Riding && !isSpace(j) &&
                       b.letters[j].shuffledX > 8.0f)
              << j << " was waiting before " << k;
        // The pick-up frame keeps the hand's x and z and sets its height (a
        // carry ending earlier in the same frame may have moved it by one
        // frame of belt travel).
        EXPECT_NEAR(b.handTarget.x, b.grab.x, 1e-4f);
        EXPECT_NEAR(b.handTarget.z, b.grab.z, 1e-4f);
        EXPECT_NEAR(b.handTarget.x, handBefore.x, b.beltSpeed * dt + 1e-4f);
        EXPECT_NEAR(b.handTarget.z, handBefore.z, 1e-4f);
        EXPECT_FLOAT_EQ(b.handTarget.y, 6.0f);
        lastPicked = k;
      }
      if (l.state == Riding && prevState[k] == Waiting && !firstRidingSeen[k]) {
        firstRidingSeen[k] = true;
        EXPECT_EQ(l.position.x, -20.0f) << "drawn where the reset left it";
      }
      if (l.state == Placed) {
        EXPECT_FLOAT_EQ(l.position.x, l.sortedX - 20.0f);
        EXPECT_FLOAT_EQ(l.position.z, -0.256f);
        EXPECT_LT(l.position.x, 34.0f);
      }
      if (l.state == Gone && prevState[k] != Gone) {
        EXPECT_GE(l.sortedX - 20.0f, 34.0f);
        EXPECT_TRUE(prevState[k] == Placed || prevState[k] == Carried) << k;
      }
      if (isSpace(k)) {
        EXPECT_NE(l.state, int(Carried));
      }
      if (l.state == Carried) {
        EXPECT_LE(b.gripAmount, letterGripFactor(kScrollerMessage[k]));
      }
      prevState[k] = l.state;
    }
    EXPECT_LE(carried, 1) << "one carry at a time";
    if (wasCarrying && !b.carrying) {
      EXPECT_EQ(b.gripAmount, 0.0f) << "grip open after a carry";
    }
    wasCarrying = b.carrying;
    // Placed letters keep reading order along the belt.
    float previousX = 1e9f;
    for (int k = 0; k < kLetterCount; ++k) {
      if (b.letters[k].state != Placed) continue;
      EXPECT_LT(b.letters[k].position.x, previousX);
      previousX = b.letters[k].position.x;
    }

    bool done = true;
    for (int k = 0; k < kLetterCount; ++k)
      if (!isSpace(k) && b.letters[k].state != Gone) done = false;
    if (done) break;
    scrollerSpeeds(speed, float(frames + 1) * dt, b.beltSpeed, b.carrySpeed);
  }
  EXPECT_LT(frames, 30 * 200) << "every letter leaves the belt";
  EXPECT_GT(lastPicked, 0);
  for (int k = 0; k < kLetterCount; ++k) {
    EXPECT_EQ(picks[k], isSpace(k) ? 0 : 1) << k;
    if (isSpace(k)) {
      EXPECT_EQ(b.letters[k].state, int(Riding)) << "spaces ride on";
    }
  }
}

TEST(LettersMachine, CarryWindowsAndGripPerGlyph) {
  static BeltLetters b;
  initLetters(b);
  // Put one letter 'I' (index of the first I in the message) at the pick-up.
  int k = 0;
  while (kScrollerMessage[k] != 'I') ++k;
  for (int j = 0; j < kLetterCount; ++j) b.letters[j].shuffledX = -100;
  b.letters[k].shuffledX = 8.5f;
  b.letters[k].state = Riding;
  b.beltSpeed = 0;
  advanceLetters(b, 0.01f);
  ASSERT_EQ(b.letters[k].state, int(Carried));
  float maxGrip = 0;
  int frames = 0;
  while (b.carrying && frames < 1000) {
    advanceLetters(b, 0.01f);
    maxGrip = std::max(maxGrip, b.gripAmount);
    ++frames;
  }
  EXPECT_FLOAT_EQ(maxGrip, 0.91f);
  // 3.7 / 2.9 s at 100 frames per second.
  EXPECT_NEAR(frames * 0.01f, 3.7f / 2.9f, 0.015f);
  EXPECT_EQ(b.letters[k].state, int(Placed));
  EXPECT_EQ(b.gripAmount, 0.0f);
}
