// Millisecond tick counter: the demo clock when there is no music.
#pragma once
#include <cstdint>

// Milliseconds from an arbitrary start, monotonic.
uint32_t tickCount();
// Nanoseconds from an arbitrary start, monotonic; interpolates the music clock.
int64_t tickNanoseconds();
