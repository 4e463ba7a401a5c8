// One subtractive/FM synthesizer voice: oscillators (with unison), noise,
// a resonant filter with its own envelope, an amplifier envelope and drive.
// Every pitched instrument of the track is a Patch for this voice.
#pragma once

#include <cstdint>
#include <vector>

#include "envelope.h"
#include "filter.h"
#include "oscillators.h"

namespace music {

struct Patch {
  // Main oscillator, optionally a detuned unison stack spread across stereo.
  Wave wave1 = Wave::Saw;
  float level1 = 1.0f;
  int unison = 1;            // 1 .. 7
  float spreadCents = 0.0f;  // total detune across the stack
  float width = 0.0f;        // 0 mono .. 1 hard left/right stack ends
  // Second oscillator, offset in semitones and cents.
  Wave wave2 = Wave::Sine;
  float level2 = 0.0f;
  float semis2 = 0.0f;
  float cents2 = 0.0f;
  float noiseLevel = 0.0f;   // breath, following the amplifier
  // Two-operator FM: when fmIndex > 0 the main oscillator is a sine carrier
  // phase-modulated by a sine at fmRatio times the pitch.
  float fmRatio = 1.0f;
  float fmIndex = 0.0f;        // radians at onset
  float fmSustain = 0.0f;      // fraction of the index kept
  float fmDecay = 0.5f;        // seconds to 60 dB
  // Pitch movement.
  float pitchDrop = 0.0f;      // semitones above the note at onset
  float pitchDecay = 0.05f;    // seconds (time constant)
  float vibratoCents = 0.0f;
  float vibratoRate = 5.0f;
  float vibratoDelay = 0.3f;   // seconds until full depth
  float glide = 0.06f;         // time constant of a slide from the previous note
  // Filter.
  FilterMode filter = FilterMode::LowPass;
  bool fourPole = false;
  float cutoff = 2000.0f;      // Hz at middle C, velocity 0.8, param 0.5
  float resonance = 0.0f;
  float keyTrack = 0.5f;       // 1: cutoff follows pitch fully
  float envOctaves = 0.0f;     // filter envelope depth
  AdsrShape filterEnv{0.001f, 0.3f, 0.0f, 0.3f};
  float lfoOctaves = 0.0f;     // slow cutoff wobble
  float lfoRate = 0.2f;
  float paramOctaves = 2.0f;   // how far the note's param (0..1) moves the cutoff
  // Amplifier.
  AdsrShape amp;
  float tremolo = 0.0f;        // depth 0..1
  float tremoloRate = 4.0f;
  float drive = 0.0f;          // 0 clean .. several = heavy saturation
  float gain = 1.0f;
  bool stereo = false;         // run the filter per channel (unison width)
};

struct SynthNote {
  float pitch = 60.0f;       // MIDI note number
  float velocity = 0.8f;
  float gate = 0.25f;        // seconds the key is held
  float param = 0.5f;        // brightness control from the arrangement
  float glideFrom = 0.0f;    // previous pitch for a slide, 0 for none
  uint32_t seed = 1;
};

// Renders the whole note, attack to silence, into left/right (resized).
void renderSynth(const Patch& patch, const SynthNote& note,
                 std::vector<float>& left, std::vector<float>& right);

}  // namespace music
