// The C runtime's linear congruential generator as a value, so sequences
// are the same on every platform. Each user seeds its own.
#pragma once
#include <cstdint>

constexpr int kCrtRandMax = 32767;

struct CrtRandom {
  uint32_t state = 1;

  explicit CrtRandom(uint32_t seed = 1) : state(seed) {}
  // state = state * 214013 + 2531011 (mod 2^32); returns bits 16..30.
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fff);
  }
};
