#include "scenes/belt_letters.h"

#include <cmath>

#include "math/crt_random.h"
#include "models/scene3ds.h"

const char kScrollerMessage[kLetterCount + 1] =
    "LVS PROUDLY PRESENTS LUMIVAARA ZADORIVORA; GREETINGS TO ALL VIEWERS! "
    "THANK YOU FOR WATCHING OUR 100% HANDMADE DEMO ...";
static_assert(sizeof(kScrollerMessage) == kLetterCount + 1, "the message has 118 characters");

const char kGlyphSet[kGlyphCount + 1] = "!%+.0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZ;";

const int glyphSlotTable[kGlyphCount] = {
    36, 39, 40, 38,                                  // ! % + .
    26, 27, 28, 29, 30, 31, 32, 33, 34, 35,          // 0..9
    37,                                              // ?
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,  // A..M
    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,  // N..Z
    41,                                              // ;
};

const float glyphGripTable[kGlyphCount] = {
    1, 1, 1, 1,                    // ! % + .
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0..9
    1,                             // ?
    1, 1, 1, 1, 1, 1, 1, 1, 1.3f, 1, 1, 1, 0.7f,  // A..M: I is thin, M wide
    1, 1, 1, 1, 1, 1, 1, 1, 1, 0.7f, 1, 1, 1,     // N..Z: W wide
    1,                             // ;
};

namespace {

constexpr float kHalfPi = 1.570795f;
constexpr float kLetterSpacing = 2.0f;
constexpr float kPickUpX = 8.0f;   // belt coordinate under the open gripper
constexpr float kBeltOffset = 20.0f;
constexpr float kLaneZ = -0.256f;
constexpr float kTipStart = 31.6f;
constexpr float kTipEdge = 32.0f;
constexpr float kTipEnd = 34.0f;

void setWindow(TimeWindow& w, float start, float length) {
  w.start = start;
  w.length = length;
}

// One frame of the carried letter: the six windows follow carrySpeed, so a
// change of pace during a carry reshapes the rest of it.
void carryStep(BeltLetters& b, BeltLetter& l, char c) {
  const float f = b.carrySpeed;
  const float reach = 0.85f / f;
  const float step = 0.5f / f;
  const float p = l.pickTime;
  setWindow(b.reach, p, reach);
  setWindow(b.descend, p + reach, step);
  setWindow(b.lift, p + reach + step, step);
  setWindow(b.move, p + reach + 2 * step, reach);
  setWindow(b.lower, p + 2 * reach + 2 * step, step);
  setWindow(b.release, p + 2 * reach + 3 * step, step);
  const float t = b.carryClock;

  l.yaw = b.move.fall(t) * l.startYaw;
  b.handYaw = b.reach.fall(t) * b.previousHandYaw + b.reach.rise(t) * l.yaw;
  b.gripAmount = b.descend.rise(t) * b.release.fall(t) * letterGripFactor(c);

  const float m = b.move.rise(t);
  l.position.setLerp(l.restOffset, l.finalOffset, m);
  l.position.x += m * l.sortedX + b.move.fall(t) * l.shuffledX;
  l.position.z += kLaneZ;
  l.position.x -= kBeltOffset;
  l.position.y -= 2.0f * b.lift.rise(t) * b.lower.fall(t);

  b.drop.copyFrom(l.position);
  b.drop.x -= kBeltOffset;
  const float handHeight =
      2.0f * (b.descend.rise(t) * b.lift.fall(t) + b.lower.rise(t) * b.release.fall(t));
  b.drop.y = handHeight;
  b.grab.y = handHeight;

  const float r = b.reach.rise(t);
  b.handTarget.setLerp(b.grab, b.drop, r);
  b.handTarget.add(Vector3(0.3f * r, 6.0f, -1.5f * r));

  if (b.release.rise(t) >= 1.0f) {
    b.carrying = false;
    l.state = Placed;
  }
}

}  // namespace

int glyphIndex(char c) {
  for (int i = 0; i < kGlyphCount; ++i)
    if (kGlyphSet[i] == c) return i;
  return -1;
}

float letterGripFactor(char c) {
  const int i = glyphIndex(c);
  return i < 0 ? 0.0f : 0.7f * glyphGripTable[i];
}

void initLetters(BeltLetters& b) {
  CrtRandom random(34);
  for (int k = 0; k < kLetterCount; ++k) {
    BeltLetter& l = b.letters[k];
    const int a = random.next();
    const int r = random.next();
    const int c = random.next();
    l.restOffset = Vector3(0.2f - float(r) * 0.00001220703125f, 0, (a & 1) ? 2.0f : -2.0f);
    l.finalOffset = Vector3(0, 0, 0);
    b.order[k] = k;
    l.yaw = 0;
    l.startYaw = float(c) * 0.00009587371826171875f - kHalfPi;
  }
  // Near-sorted: neighbours swap now and then, never more than three in a row.
  int run = 0;
  for (int k = 0; k < kLetterCount; ++k) {
    if (random.next() <= 16000) continue;
    if (run >= 3) {
      run = 0;
      continue;
    }
    if (k < kLetterCount - 1) {
      const int t = b.order[k];
      b.order[k] = b.order[k + 1];
      b.order[k + 1] = t;
    }
    ++run;
  }
  for (int k = 0; k < kLetterCount; ++k) {
    b.letters[k].shuffledX = -2.5f - kLetterSpacing * float(b.order[k]);
    b.letters[k].sortedX = -2.5f - kLetterSpacing * float(k);
  }
}

void advanceLetters(BeltLetters& b, float dt) {
  b.carryClock += dt;
  for (int k = 0; k < kLetterCount; ++k) {
    BeltLetter& l = b.letters[k];
    const char c = kScrollerMessage[k];
    l.tilt = 0;
    l.shuffledX += b.beltSpeed * dt;
    l.sortedX += b.beltSpeed * dt;

    if (!b.carrying && l.shuffledX > kPickUpX && l.state == Riding && c != ' ') {
      b.carrying = true;
      l.state = Carried;
      b.grab.copyFrom(b.handTarget);
      l.pickTime = b.carryClock;
      b.previousHandYaw = b.handYaw;
    }
    if (l.state == Riding) {
      l.position = l.restOffset + Vector3(l.shuffledX - kBeltOffset, 0, kLaneZ);
      l.yaw = l.startYaw;
    }
    if (l.state == Carried) carryStep(b, l, c);
    if (l.state == Placed) {
      l.position = Vector3(l.sortedX - kBeltOffset, 0, kLaneZ);
      l.yaw = 0;
      if (l.position.x > kTipStart) {
        if (l.position.x < kTipEnd) {
          const float over = l.position.x - kTipEdge;
          l.position.y += 5.0f * over * over;
          l.tilt = -0.5f * std::fabs(over);
        } else {
          l.state = Gone;
        }
      }
    }
    if (l.shuffledX > 0) {
      if (l.state == Waiting) l.state = Riding;
    } else {
      l.position = Vector3(-kBeltOffset, 0, 0);
      l.state = Waiting;
    }
  }
}

bool letterDrawn(const BeltLetters& b, int k) {
  const BeltLetter& l = b.letters[k];
  return l.shuffledX > 0 && l.state != Gone && glyphIndex(kScrollerMessage[k]) >= 0;
}

void drawLetters(const BeltLetters& belt, const GlyphFont& font) {
  for (int k = 0; k < kLetterCount; ++k) {
    if (!letterDrawn(belt, k)) continue;
    const BeltLetter& l = belt.letters[k];
    drawGlyph(font, kScrollerMessage[k], l.position, -kHalfPi, l.yaw + kMathPi, 5.0f * l.tilt);
  }
}

void drawGlyph(const GlyphFont& font, char c, Vector3 position, float xAngle, float yAngle,
               float zAngle) {
  const int i = glyphIndex(c);
  if (i < 0 || i >= font.count || !font.models || !font.light) return;
  Scene3ds& models = *font.models;
  const int mesh = font.base + i;
  models.setMeshPosition(mesh, Vector3(0, 0, 0));
  models.setMeshRotation(mesh, 0, 0, 0);
  Mat4 placed = translated(models.view, position.x, position.y, position.z);
  placed = rotated(placed, float(yAngle * kMathDegreesPerRadian), 0, 1, 0);
  placed = rotated(placed, float(zAngle * kMathDegreesPerRadian), 0, 0, 1);
  placed = rotated(placed, float(xAngle * kMathDegreesPerRadian), 1, 0, 0);
  placed = translated(placed, -3.0f * float(glyphSlotTable[i]), 0, 0);
  models.drawMeshIn(placed, mesh, *font.light, 0);
}
