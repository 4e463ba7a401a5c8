// Renders the composed song: every note into its lane's buses, the kick
// ducking, the send effects, and the master bus.
#pragma once

#include <vector>

#include "arrangement.h"

namespace music {

struct StereoBuffer {
  std::vector<float> left, right;
};

// -1.5 dBFS: the limiter's ceiling, leaving room for the codec's overshoot.
constexpr float kCeiling = 0.841f;

// Renders [from, to) seconds of the song. Notes are split into fixed lanes,
// so the result is the same for any thread count. Effects start silent at
// `from`, so an excerpt matches the full render only after their tails.
void renderSong(const Song& song, double from, double to, int threads, StereoBuffer& out);

}  // namespace music
