#include "instruments.h"

#include <cstdlib>

#include "drums.h"
#include "dsp.h"
#include "synth_voice.h"
#include "textures.h"

namespace music {

namespace {

Patch bass() {
  // Offbeat bass: saw plus sub through a four-pole low-pass that snaps open.
  Patch p;
  p.wave1 = Wave::Saw;
  p.wave2 = Wave::Sine;  // weight at the fundamental; an octave down would be subsonic
  p.level2 = 0.5f;
  p.fourPole = true;
  p.cutoff = 380.0f;
  p.keyTrack = 0.3f;
  p.resonance = 0.25f;
  p.envOctaves = 2.2f;
  p.filterEnv = {0.001f, 0.18f, 0.0f, 0.1f};
  p.amp = {0.003f, 0.3f, 0.8f, 0.06f};
  p.drive = 0.6f;
  return p;
}

Patch acidBass() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.fourPole = true;
  p.cutoff = 320.0f;
  p.keyTrack = 0.4f;
  p.resonance = 0.72f;
  p.envOctaves = 3.0f;
  p.filterEnv = {0.001f, 0.15f, 0.0f, 0.1f};
  p.paramOctaves = 3.0f;
  p.amp = {0.002f, 0.2f, 0.7f, 0.04f};
  p.drive = 1.5f;
  p.glide = 0.03f;
  return p;
}

Patch reese() {
  // Two saws beating against each other, driven: the heavy scene's bass.
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 2;
  p.spreadCents = 24.0f;
  p.wave2 = Wave::Sine;
  p.level2 = 0.4f;
  p.cutoff = 520.0f;
  p.keyTrack = 0.2f;
  p.resonance = 0.2f;
  p.lfoOctaves = 0.5f;
  p.lfoRate = 0.15f;
  p.amp = {0.01f, 1.0f, 1.0f, 0.15f};
  p.drive = 2.0f;
  return p;
}

Patch upright() {
  Patch p;
  p.wave1 = Wave::Sine;
  p.wave2 = Wave::Triangle;
  p.level2 = 0.5f;
  p.cutoff = 900.0f;
  p.keyTrack = 0.5f;
  p.envOctaves = 1.5f;
  p.filterEnv = {0.001f, 0.15f, 0.0f, 0.1f};
  p.pitchDrop = 0.15f;
  p.pitchDecay = 0.02f;
  p.amp = {0.004f, 1.4f, 0.0f, 0.08f};
  return p;
}

Patch sub() {
  Patch p;
  p.wave1 = Wave::Sine;
  p.wave2 = Wave::Triangle;
  p.level2 = 0.12f;
  p.filter = FilterMode::Off;
  p.amp = {0.02f, 1.0f, 1.0f, 0.3f};
  p.drive = 0.3f;
  return p;
}

Patch pad() {
  // Supersaw pad: five detuned saws spread wide, slow swell.
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 5;
  p.spreadCents = 22.0f;
  p.width = 0.8f;
  p.stereo = true;
  p.cutoff = 1400.0f;
  p.keyTrack = 0.3f;
  p.lfoOctaves = 0.25f;
  p.lfoRate = 0.13f;
  p.envOctaves = 0.6f;
  p.filterEnv = {1.2f, 2.0f, 0.7f, 2.0f};
  p.paramOctaves = 2.5f;
  p.amp = {0.6f, 2.0f, 0.85f, 1.6f};
  return p;
}

Patch darkPad() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 3;
  p.spreadCents = 14.0f;
  p.width = 0.7f;
  p.stereo = true;
  p.cutoff = 800.0f;
  p.keyTrack = 0.2f;
  p.resonance = 0.15f;
  p.lfoOctaves = 0.4f;
  p.lfoRate = 0.07f;
  p.paramOctaves = 2.0f;
  p.amp = {1.2f, 3.0f, 0.9f, 2.5f};
  return p;
}

Patch glassPad() {
  Patch p;
  p.wave1 = Wave::Triangle;
  p.unison = 3;
  p.spreadCents = 12.0f;
  p.width = 0.9f;
  p.stereo = true;
  p.wave2 = Wave::Sine;
  p.level2 = 0.3f;
  p.semis2 = 12.0f;
  p.cutoff = 3000.0f;
  p.amp = {1.5f, 3.0f, 0.9f, 3.0f};
  p.tremolo = 0.15f;
  p.tremoloRate = 0.5f;
  return p;
}

Patch choir() {
  // Band-passed saw stack: a vowel-like "aah".
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 3;
  p.spreadCents = 16.0f;
  p.width = 0.8f;
  p.stereo = true;
  p.filter = FilterMode::BandPass;
  p.cutoff = 850.0f;
  p.keyTrack = 0.0f;
  p.resonance = 0.35f;
  p.lfoOctaves = 0.15f;
  p.lfoRate = 0.2f;
  p.vibratoCents = 8.0f;
  p.vibratoRate = 4.5f;
  p.vibratoDelay = 0.8f;
  p.amp = {0.8f, 2.0f, 0.9f, 2.0f};
  return p;
}

Patch ePiano() {
  Patch p;
  p.fmRatio = 1.0f;
  p.fmIndex = 1.8f;
  p.fmDecay = 1.2f;
  p.fmSustain = 0.15f;
  p.filter = FilterMode::Off;
  p.amp = {0.002f, 2.5f, 0.0f, 0.4f};
  p.tremolo = 0.2f;
  p.tremoloRate = 4.5f;
  return p;
}

Patch bell() {
  // A harmonic modulator ratio: a celesta-like bell that can carry a tune.
  Patch p;
  p.fmRatio = 3.0f;
  p.fmIndex = 3.0f;
  p.fmDecay = 0.8f;
  p.fmSustain = 0.05f;
  p.wave2 = Wave::Sine;
  p.level2 = 0.2f;
  p.semis2 = 12.0f;
  p.filter = FilterMode::Off;
  p.amp = {0.001f, 2.8f, 0.0f, 1.0f};
  return p;
}

Patch musicBox() {
  Patch p;
  p.fmRatio = 4.0f;
  p.fmIndex = 1.2f;
  p.fmDecay = 0.3f;
  p.filter = FilterMode::Off;
  p.amp = {0.001f, 1.4f, 0.0f, 0.5f};
  return p;
}

Patch pluck() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.wave2 = Wave::Square;
  p.level2 = 0.5f;
  p.cents2 = 7.0f;
  p.cutoff = 500.0f;
  p.keyTrack = 0.5f;
  p.resonance = 0.3f;
  p.envOctaves = 3.2f;
  p.filterEnv = {0.001f, 0.2f, 0.0f, 0.2f};
  p.amp = {0.002f, 0.45f, 0.0f, 0.15f};
  return p;
}

Patch lead() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 3;
  p.spreadCents = 14.0f;
  p.width = 0.3f;
  p.stereo = true;
  p.wave2 = Wave::Square;
  p.level2 = 0.3f;
  p.semis2 = -12.0f;
  p.cutoff = 2600.0f;
  p.keyTrack = 0.5f;
  p.resonance = 0.15f;
  p.envOctaves = 1.0f;
  p.filterEnv = {0.005f, 0.4f, 0.0f, 0.3f};
  p.vibratoCents = 18.0f;
  p.vibratoRate = 5.2f;
  p.vibratoDelay = 0.35f;
  p.glide = 0.05f;
  p.amp = {0.008f, 1.5f, 0.85f, 0.25f};
  p.drive = 0.3f;
  return p;
}

Patch superLead() {
  Patch p = lead();
  p.unison = 7;
  p.spreadCents = 30.0f;
  p.width = 0.7f;
  p.level2 = 0.2f;
  p.cutoff = 4000.0f;
  p.vibratoCents = 12.0f;
  p.amp = {0.005f, 1.0f, 0.9f, 0.3f};
  return p;
}

Patch vibes() {
  Patch p;
  p.fmRatio = 4.0f;
  p.fmIndex = 0.6f;
  p.fmDecay = 0.15f;
  p.filter = FilterMode::Off;
  p.amp = {0.001f, 2.2f, 0.0f, 0.4f};
  p.tremolo = 0.25f;
  p.tremoloRate = 5.5f;
  return p;
}

Patch stab() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 3;
  p.spreadCents = 16.0f;
  p.width = 0.6f;
  p.stereo = true;
  p.cutoff = 1200.0f;
  p.keyTrack = 0.3f;
  p.envOctaves = 2.5f;
  p.filterEnv = {0.001f, 0.25f, 0.0f, 0.2f};
  p.amp = {0.002f, 0.6f, 0.3f, 0.25f};
  return p;
}

Patch whistle() {
  Patch p;
  p.wave1 = Wave::Triangle;
  p.wave2 = Wave::Sine;
  p.level2 = 0.5f;
  p.noiseLevel = 0.03f;
  p.cutoff = 2500.0f;
  p.vibratoCents = 25.0f;
  p.vibratoRate = 5.0f;
  p.vibratoDelay = 0.4f;
  p.glide = 0.08f;
  p.amp = {0.06f, 1.0f, 0.9f, 0.35f};
  return p;
}

Patch drone() {
  Patch p;
  p.wave1 = Wave::Saw;
  p.unison = 2;
  p.spreadCents = 8.0f;
  p.wave2 = Wave::Square;
  p.level2 = 0.4f;
  p.semis2 = -12.0f;
  p.cutoff = 300.0f;
  p.keyTrack = 0.0f;
  p.resonance = 0.3f;
  p.lfoOctaves = 0.7f;
  p.lfoRate = 0.05f;
  p.amp = {2.0f, 1.0f, 1.0f, 3.0f};
  return p;
}

struct PatchSlot {
  Inst inst;
  Patch patch;
};

const Patch* patchOf(Inst inst) {
  static const PatchSlot kPatches[] = {
      {Inst::Bass, bass()},         {Inst::AcidBass, acidBass()},   {Inst::Reese, reese()},
      {Inst::Upright, upright()},   {Inst::Sub, sub()},             {Inst::Pad, pad()},
      {Inst::DarkPad, darkPad()},   {Inst::GlassPad, glassPad()},   {Inst::Choir, choir()},
      {Inst::EPiano, ePiano()},     {Inst::Bell, bell()},           {Inst::MusicBox, musicBox()},
      {Inst::Pluck, pluck()},       {Inst::Lead, lead()},           {Inst::SuperLead, superLead()},
      {Inst::Vibes, vibes()},       {Inst::Stab, stab()},           {Inst::Whistle, whistle()},
      {Inst::Drone, drone()},
  };
  for (const PatchSlot& s : kPatches)
    if (s.inst == inst) return &s.patch;
  return nullptr;
}

struct InstInfo {
  Inst inst;
  const char* name;
  Routing routing;  // gain, pan, reverb, delay, duck
};

const InstInfo kInfo[] = {
    {Inst::Kick, "kick", {0.45f, 0.0f, 0.02f, 0.0f, false}},
    {Inst::KickHeavy, "kick-heavy", {0.42f, 0.0f, 0.03f, 0.0f, false}},
    {Inst::KickSoft, "kick-soft", {0.4f, 0.0f, 0.05f, 0.0f, false}},
    {Inst::Snare, "snare", {0.42f, 0.0f, 0.22f, 0.0f, false}},
    {Inst::Clap, "clap", {0.38f, 0.0f, 0.25f, 0.0f, false}},
    {Inst::Rim, "rim", {0.3f, 0.1f, 0.2f, 0.25f, false}},
    {Inst::Snap, "snap", {0.16f, 0.15f, 0.25f, 0.0f, false}},
    {Inst::Brush, "brush", {0.35f, -0.05f, 0.2f, 0.0f, false}},
    {Inst::HatClosed, "hat", {0.5f, 0.25f, 0.05f, 0.0f, false}},
    {Inst::HatOpen, "hat-open", {0.38f, 0.25f, 0.08f, 0.0f, false}},
    {Inst::Ride, "ride", {0.5f, -0.3f, 0.1f, 0.0f, false}},
    {Inst::Crash, "crash", {0.35f, -0.1f, 0.15f, 0.0f, false}},
    {Inst::Shaker, "shaker", {0.45f, -0.35f, 0.08f, 0.0f, false}},
    {Inst::Tom, "tom", {0.4f, 0.0f, 0.2f, 0.0f, false}},
    {Inst::Clank, "clank", {0.25f, 0.0f, 0.25f, 0.15f, false}},
    {Inst::Hiss, "hiss", {0.18f, 0.0f, 0.2f, 0.0f, false}},
    {Inst::Tick, "tick", {0.12f, 0.0f, 0.3f, 0.0f, false}},
    {Inst::Boom, "boom", {0.5f, 0.0f, 0.2f, 0.0f, false}},
    {Inst::Bass, "bass", {0.2f, 0.0f, 0.0f, 0.0f, true}},
    {Inst::AcidBass, "acid", {0.16f, 0.0f, 0.05f, 0.08f, true}},
    {Inst::Reese, "reese", {0.11f, 0.0f, 0.03f, 0.0f, true}},
    {Inst::Upright, "upright", {0.28f, 0.0f, 0.08f, 0.0f, false}},
    {Inst::Sub, "sub", {0.16f, 0.0f, 0.0f, 0.0f, false}},
    {Inst::Pad, "pad", {0.14f, 0.0f, 0.35f, 0.05f, true}},
    {Inst::DarkPad, "dark-pad", {0.16f, 0.0f, 0.5f, 0.0f, false}},
    {Inst::GlassPad, "glass-pad", {0.09f, 0.0f, 0.55f, 0.1f, false}},
    {Inst::Choir, "choir", {0.25f, 0.0f, 0.45f, 0.0f, false}},
    {Inst::EPiano, "epiano", {0.15f, 0.0f, 0.3f, 0.15f, false}},
    {Inst::Bell, "bell", {0.2f, 0.0f, 0.45f, 0.3f, false}},
    {Inst::MusicBox, "music-box", {0.2f, 0.0f, 0.4f, 0.2f, false}},
    {Inst::Pluck, "pluck", {0.22f, 0.0f, 0.2f, 0.35f, true}},
    {Inst::Lead, "lead", {0.22f, 0.0f, 0.25f, 0.25f, false}},
    {Inst::SuperLead, "super-lead", {0.28f, 0.0f, 0.3f, 0.22f, false}},
    {Inst::Vibes, "vibes", {0.3f, 0.0f, 0.3f, 0.1f, false}},
    {Inst::Stab, "stab", {0.18f, 0.0f, 0.35f, 0.2f, false}},
    {Inst::Whistle, "whistle", {0.2f, 0.0f, 0.5f, 0.3f, false}},
    {Inst::Drone, "drone", {0.08f, 0.0f, 0.4f, 0.0f, false}},
    {Inst::Riser, "riser", {0.3f, 0.0f, 0.3f, 0.0f, false}},
    {Inst::Whoosh, "whoosh", {0.35f, 0.0f, 0.4f, 0.0f, false}},
    {Inst::ReverseCrash, "reverse-crash", {0.35f, 0.0f, 0.2f, 0.0f, false}},
    {Inst::Wind, "wind", {0.15f, 0.0f, 0.1f, 0.0f, false}},
    {Inst::Crickets, "crickets", {0.1f, 0.0f, 0.2f, 0.0f, false}},
    {Inst::Crackle, "crackle", {0.05f, 0.0f, 0.0f, 0.0f, false}},
};

static_assert(sizeof(kInfo) / sizeof(kInfo[0]) == static_cast<size_t>(Inst::Count),
              "every instrument needs routing");

const InstInfo& infoOf(Inst inst) {
  const InstInfo& info = kInfo[static_cast<int>(inst)];
  if (info.inst != inst) std::abort();  // table out of order: a bug
  return info;
}

KickShape kickShape(Inst inst) {
  switch (inst) {
    case Inst::KickHeavy: return {190.0f, 47.0f, 0.045f, 0.42f, 0.4f, 2.5f};
    case Inst::KickSoft: return {120.0f, 55.0f, 0.028f, 0.3f, 0.06f, 0.4f};
    case Inst::Kick:
    default: return {160.0f, 50.0f, 0.035f, 0.36f, 0.3f, 1.2f};
  }
}

}  // namespace

const Routing& routingOf(Inst inst) { return infoOf(inst).routing; }

const char* instName(Inst inst) { return infoOf(inst).name; }

bool isKick(Inst inst) { return inst == Inst::Kick || inst == Inst::KickHeavy; }

void renderNote(const Note& n, std::vector<float>& left, std::vector<float>& right) {
  DrumBuffers out{left, right};
  const float v = n.velocity;
  const float hz = midiToHz(n.pitch);
  // `param` also shapes drums: 0.5 is the normal sound.
  const float shape = 0.5f + n.param;
  switch (n.inst) {
    case Inst::Kick:
    case Inst::KickHeavy:
    case Inst::KickSoft: renderKick(kickShape(n.inst), v, n.seed, out); return;
    case Inst::Snare: renderSnare(v, 1.0f, shape, n.seed, out); return;
    case Inst::Clap: renderClap(v, shape, n.seed, out); return;
    case Inst::Rim: renderRim(v, 1.0f, n.seed, out); return;
    case Inst::Snap: renderSnap(v, n.seed, out); return;
    case Inst::Brush: renderBrush(v, shape, n.seed, out); return;
    case Inst::HatClosed: renderHat(v, 0.06f * shape, 1.0f, n.seed, out); return;
    case Inst::HatOpen: renderHat(v, 0.35f * shape, 1.0f, n.seed, out); return;
    case Inst::Ride: renderRide(v, n.seed, out); return;
    case Inst::Crash: renderCrash(v, shape, n.seed, out); return;
    case Inst::Shaker: renderShaker(v, n.seed, out); return;
    case Inst::Tom: renderTom(v, hz, n.seed, out); return;
    case Inst::Clank: renderClank(v, hz, n.seed, out); return;
    case Inst::Hiss: renderHiss(v, n.length, n.seed, out); return;
    case Inst::Tick: renderTick(v, hz, n.seed, out); return;
    case Inst::Boom: renderBoom(v, hz, n.seed, out); return;
    case Inst::Riser: renderRiser(v, n.length, n.seed, out); return;
    case Inst::Whoosh: renderWhoosh(v, n.length, n.seed, out); return;
    case Inst::ReverseCrash: renderReverseCrash(v, n.length, n.seed, out); return;
    case Inst::Wind: renderWind(v, n.length, n.seed, out); return;
    case Inst::Crickets: renderCrickets(v, n.length, n.seed, out); return;
    case Inst::Crackle: renderCrackle(v, n.length, n.seed, out); return;
    default: break;
  }
  const Patch* patch = patchOf(n.inst);
  if (!patch) std::abort();  // an instrument without a sound: a bug
  SynthNote sn;
  sn.pitch = n.pitch;
  sn.velocity = n.velocity;
  sn.gate = n.length;
  sn.param = n.param;
  sn.glideFrom = n.glideFrom;
  sn.seed = n.seed;
  renderSynth(*patch, sn, left, right);
}

}  // namespace music
