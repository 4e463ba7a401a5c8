// Long noise-based sounds: transitions (risers, sweeps) and the ambience
// beds of the quiet scenes. Each renders `seconds` of stereo sound.
#pragma once

#include <cstdint>
#include <vector>

#include "drums.h"

namespace music {

// Noise whose band climbs and whose level grows towards the end.
void renderRiser(float velocity, float seconds, uint32_t seed, DrumBuffers out);
// A band of noise falling in pitch and panning across, fading away.
void renderWhoosh(float velocity, float seconds, uint32_t seed, DrumBuffers out);
// A cymbal played backwards, swelling into its end.
void renderReverseCrash(float velocity, float seconds, uint32_t seed, DrumBuffers out);
// Gusting wind: pink noise through slowly wandering band-passes.
void renderWind(float velocity, float seconds, uint32_t seed, DrumBuffers out);
// A few crickets chirping at their own pace and place.
void renderCrickets(float velocity, float seconds, uint32_t seed, DrumBuffers out);
// Dust and crackle of an old record, with faint hiss.
void renderCrackle(float velocity, float seconds, uint32_t seed, DrumBuffers out);

}  // namespace music
