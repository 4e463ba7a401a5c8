// The C runtime's linear congruential generator, shared by every scene that
// reseeds it, so sequences are the same on every platform.
#pragma once
#include <cstdint>

constexpr int kCrtRandMax = 32767;

void crtSrand(uint32_t seed);
// state = state * 214013 + 2531011 (mod 2^32); returns bits 16..30.
int crtRand();
// The generator's state itself, for saving and restoring it.
uint32_t& crtRandomState();
