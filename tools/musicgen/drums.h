// Synthesized drum and percussion one-shots. Each renders a whole hit into
// a stereo pair of buffers (resized to the hit's length).
#pragma once

#include <cstdint>
#include <vector>

namespace music {

struct DrumBuffers {
  std::vector<float>& left;
  std::vector<float>& right;
};

// Bass drum: sine with a falling pitch, a click and some drive.
struct KickShape {
  float startHz, endHz, pitchTime, decay, click, drive;
};
void renderKick(const KickShape& shape, float velocity, uint32_t seed, DrumBuffers out);

// `tone` shifts pitch-like parameters (1 = normal); `decay` scales length.
void renderSnare(float velocity, float tone, float decay, uint32_t seed, DrumBuffers out);
void renderClap(float velocity, float decay, uint32_t seed, DrumBuffers out);
void renderRim(float velocity, float tone, uint32_t seed, DrumBuffers out);
void renderSnap(float velocity, uint32_t seed, DrumBuffers out);
void renderBrush(float velocity, float decay, uint32_t seed, DrumBuffers out);
void renderHat(float velocity, float decay, float tone, uint32_t seed, DrumBuffers out);
void renderRide(float velocity, uint32_t seed, DrumBuffers out);
void renderCrash(float velocity, float decay, uint32_t seed, DrumBuffers out);
void renderShaker(float velocity, uint32_t seed, DrumBuffers out);
void renderTom(float velocity, float hz, uint32_t seed, DrumBuffers out);
void renderClank(float velocity, float hz, uint32_t seed, DrumBuffers out);
void renderHiss(float velocity, float length, uint32_t seed, DrumBuffers out);
void renderTick(float velocity, float hz, uint32_t seed, DrumBuffers out);
void renderBoom(float velocity, float hz, uint32_t seed, DrumBuffers out);

}  // namespace music
