#include "math/crt_random.h"

static uint32_t crtState = 1;

void crtSrand(uint32_t seed) { crtState = seed; }

uint32_t& crtRandomState() { return crtState; }

int crtRand() {
  crtState = crtState * 214013u + 2531011u;
  return static_cast<int>((crtState >> 16) & 0x7fff);
}
