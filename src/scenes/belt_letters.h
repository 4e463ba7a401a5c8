// The scroller's letters: a fixed message laid out slightly out of order on
// the conveyor, picked up one at a time by the robot arm, put down at their
// reading-order places and tipped off the belt's end.
//
// BeltLetters holds every value the state machine touches, so the machine
// (advanceLetters) runs without GL; drawLetters draws a set with the
// scene's font.
#pragma once

#include "math/time_window.h"
#include "math/vector3.h"

struct LightShafts;
struct Scene3ds;

constexpr int kLetterCount = 118;
constexpr int kGlyphCount = 42;

// Upper case, every character a space or one of kGlyphSet.
extern const char kScrollerMessage[kLetterCount + 1];
extern const char kGlyphSet[kGlyphCount + 1];
// Place of each glyph (in glyph-set order) in the font model's row, at x = 3 slot.
extern const int glyphSlotTable[kGlyphCount];
// Gripper closing per glyph, in glyph-set order.
extern const float glyphGripTable[kGlyphCount];

// Index in kGlyphSet, or -1 (spaces and anything else).
int glyphIndex(char c);
// How far the gripper closes on c: 0.7 of its table entry; 0 for no glyph.
float letterGripFactor(char c);

enum LetterState { Waiting = 0, Riding = 1, Carried = 2, Placed = 3, Gone = 4 };

struct BeltLetter {
  int state = Waiting;
  Vector3 position;
  Vector3 restOffset;   // (jitter x, 0, lane z) while riding unsorted
  Vector3 finalOffset;  // the rest offset blends into it during the carry
  float shuffledX = 0;  // belt coordinate of the shuffled place
  float sortedX = 0;    // belt coordinate of the reading-order place
  float startYaw = 0;
  float yaw = 0;
  float tilt = 0;  // tip-over at the belt's end
  float pickTime = 0;
};

struct BeltLetters {
  BeltLetter letters[kLetterCount];
  int order[kLetterCount] = {};  // shuffled slot of each letter

  // One carry at a time.
  float carryClock = 0;  // seconds
  bool carrying = false;
  Vector3 grab;
  Vector3 drop;
  float previousHandYaw = 0;
  TimeWindow reach, descend, lift, move, lower, release;

  // Arm steering, read by the scene.
  Vector3 handTarget{-20, 4, 0};
  float handYaw = 0;
  float gripAmount = 0;

  // Written by the scene: belt units per second and the carry pace.
  float beltSpeed = 2.5f;
  float carrySpeed = 2.9f;
};

// Layout from seed 34 of the generator: lane, jitter, turn and the
// near-sorted shuffle.
void initLetters(BeltLetters& belt);

// The state machine for one frame, without drawing.
void advanceLetters(BeltLetters& belt, float dtSeconds);
// True when letter k is drawn this frame (after advanceLetters).
bool letterDrawn(const BeltLetters& belt, int k);

// The glyph meshes base .. base + count - 1 of `models`, lit by `light`.
struct GlyphFont {
  Scene3ds* models = nullptr;
  int base = 0;
  int count = 0;
  const LightShafts* light = nullptr;
};

// The letters drawn this frame, inside the scene camera.
void drawLetters(const BeltLetters& belt, const GlyphFont& font);
// One glyph at position, turned about y, then z, then x (radians).
// Characters outside the glyph set draw nothing.
void drawGlyph(const GlyphFont& font, char c, Vector3 position, float xAngle, float yAngle,
               float zAngle);
