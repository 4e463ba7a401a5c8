// TimeWindow: a start time and a length (seconds) evaluated against the
// current demo time by one of four curves, plus the small angle and
// picture-coordinate helpers the scenes share.
#pragma once

struct TimeWindow {
  float start = 0.0f;   // seconds; t <= start counts as "before"
  float length = 0.0f;  // seconds over which u = (t - start) / length goes 0..1
  float span = 1.0f;    // easeIn/ringOut stay active until start + span*length

  // 0 before, 1 after start + length, else u.
  float rise(float t) const;
  // 1 before, 0 after start + length, else 1 - u.
  float fall(float t) const;
  // 0 before, 1 after start + span*length, else
  // min(1, u^exponent * (1 - cos(pi * frequency * u)) / 2).
  float easeIn(float t, float frequency, float exponent) const;
  // 1 before, 0 after start + span*length, else
  // min(1, (1 - u)^exponent * (1 + cos(pi * frequency * u)) / 2).
  float ringOut(float t, float frequency, float exponent) const;
};

static_assert(sizeof(TimeWindow) == 12, "TimeWindow must be three floats");

// Angle of the direction (b, a): b > 0: atan(a/b); b < 0: atan(a/b) + pi;
// b == 0: +pi/2 if a > 0, else -pi/2. Range -pi/2 .. 3pi/2.
float angleOf(float a, float b);

// Texture s from a pixel column of the 512 x 256 picture: x / 512.
float texS(float x);
// Texture t from a pixel row counted from the top: 1 - y / 256.
float texT(float y);
// Centred x in the 512 x 256 orthographic frame: x - 256.
float screenX(float x);
// Centred y, rows counted from the top: 128 - y.
float screenY(float y);
// 255 * (1 - e^(-x * rate)).
float saturate255(float x, float rate);
