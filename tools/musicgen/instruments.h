// The instrument rack: every sound of the track, the note event that plays
// it, and how each instrument is routed into the mix.
#pragma once

#include <cstdint>
#include <vector>

namespace music {

enum class Inst : uint8_t {
  // Drums and percussion.
  Kick, KickHeavy, KickSoft, Snare, Clap, Rim, Snap, Brush, HatClosed, HatOpen, Ride, Crash,
  Shaker, Tom, Clank, Hiss, Tick, Boom,
  // Pitched instruments.
  Bass, AcidBass, Reese, Upright, Sub, Pad, DarkPad, GlassPad, Choir, EPiano, Bell, MusicBox,
  Pluck, Lead, SuperLead, Vibes, Stab, Whistle, Drone,
  // Noise textures and transitions.
  Riser, Whoosh, ReverseCrash, Wind, Crickets, Crackle,
  Count
};

// One sounding event. Drums read `pitch` only where they are tunable (toms,
// ticks, clanks, booms); textures use `length` as their duration.
struct Note {
  double time = 0.0;       // seconds from the start of the track
  float length = 0.25f;    // seconds the key is held
  Inst inst = Inst::Kick;
  float pitch = 60.0f;     // MIDI note number
  float velocity = 0.8f;   // 0 .. 1
  float pan = 0.0f;        // -1 left .. 1 right
  float param = 0.5f;      // brightness/openness, 0 .. 1
  float glideFrom = 0.0f;  // MIDI note to slide from, 0 for none
  float reverb = 0.0f;     // send levels
  float delay = 0.0f;
  uint32_t seed = 1;
};

struct Routing {
  float gain;     // fader
  float pan;      // default position
  float reverb;   // default sends
  float delay;
  bool duck;      // pumped by the kick drum
};

const Routing& routingOf(Inst inst);
const char* instName(Inst inst);

// Whether the instrument is one of the kicks that drive the ducking.
bool isKick(Inst inst);

// Renders the raw sound of one note (before fader and pan), from its onset
// until it has died away.
void renderNote(const Note& note, std::vector<float>& left, std::vector<float>& right);

}  // namespace music
