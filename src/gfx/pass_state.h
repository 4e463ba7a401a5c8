// How a pass draws, as one value. Every draw hands its whole state, so no
// pass and no frame depends on what another left behind.
#pragma once

// How the drawn colour meets the frame (source factor, destination factor).
// The frame has no alpha channel, so the destination's alpha reads as 1.
enum class Blend : unsigned char {
  kOff,             // replaces the frame
  kWeighted,        // SRC_ALPHA, DST_ALPHA: adds the colour weighted by its alpha
  kOver,            // SRC_ALPHA, ONE_MINUS_SRC_ALPHA
  kAdd,             // ONE, ONE
  kInverseScreen,   // ONE_MINUS_SRC_COLOR, ONE_MINUS_SRC_COLOR
  kScreen,          // ONE, ONE_MINUS_SRC_COLOR
};

// Where the depth test is on, the pass also writes depth.
enum class DepthTest : unsigned char { kOff, kLess, kEqual, kAlways };

// How the texture meets the vertex colour; kNone draws untextured.
enum class Combine : unsigned char { kNone, kModulate, kAdd, kReplace };

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;
};

constexpr Colour kBlack{0, 0, 0, 1};

// A rectangle of the frame in window coordinates (origin lower left).
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct PassState {
  Blend blend = Blend::kOff;
  DepthTest depth = DepthTest::kOff;
  Combine combine = Combine::kNone;
  bool cullBackFaces = false;
  bool alphaKeyed = false;    // keeps only fragments whose alpha exceeds 0.5
  bool lit = false;           // one light; the vertex colour is the diffuse material
  bool sphereMapped = false;  // texture coordinates from the eye-space reflection
  bool smoothLines = false;   // anti-aliased 1-pixel lines
  bool scissored = false;     // draws only inside `scissor`
  PixelRect scissor;
};
