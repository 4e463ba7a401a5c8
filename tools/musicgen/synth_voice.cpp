#include "synth_voice.h"

#include <algorithm>

#include "rng.h"

namespace music {

namespace {

constexpr int kControlBlock = 16;
constexpr int kMaxUnison = 7;

struct UnisonOsc {
  Oscillator osc;
  float ratio;  // frequency multiplier for its detune
  float gainL, gainR;
};

}  // namespace

void renderSynth(const Patch& p, const SynthNote& n, std::vector<float>& left,
                 std::vector<float>& right) {
  const int gateSamples = std::max(1, static_cast<int>(n.gate * kSampleRate));
  const int total = gateSamples + adsrTailSamples(p.amp);
  left.assign(total, 0.0f);
  right.assign(total, 0.0f);

  Rng rng = makeRng(n.seed);
  Noise noise = makeNoise(n.seed * 7u + 3u);

  const int unison = std::clamp(p.unison, 1, kMaxUnison);
  UnisonOsc stack[kMaxUnison];
  float stackNorm = 0.0f;
  for (int i = 0; i < unison; ++i) {
    const float pos = unison == 1 ? 0.0f : static_cast<float>(i) / (unison - 1) * 2.0f - 1.0f;
    stack[i].osc.phase = unison == 1 ? 0.0f : uniform01(rng);
    stack[i].ratio = std::exp2(pos * 0.5f * p.spreadCents / 1200.0f);
    const float pan = pos * p.width;
    stack[i].gainL = 0.5f * (1.0f - pan);
    stack[i].gainR = 0.5f * (1.0f + pan);
    // Outer voices a little quieter, like classic supersaws.
    const float w = 1.0f - 0.25f * std::fabs(pos);
    stack[i].gainL *= w;
    stack[i].gainR *= w;
    stackNorm += w;
  }
  const float stackScale = p.level1 * 2.0f / (stackNorm > 0.0f ? stackNorm : 1.0f);

  Oscillator osc2, fmMod;
  const float ratio2 = std::exp2(p.semis2 / 12.0f + p.cents2 / 1200.0f);

  Adsr ampEnv = makeAdsr(p.amp, gateSamples);
  Adsr filterEnv = makeAdsr(p.filterEnv, gateSamples);
  const float fmMul = decayFactor(p.fmDecay);
  float fmEnv = 1.0f;

  Svf filterL, filterR, filterL2, filterR2;
  const bool useFilter = p.filter != FilterMode::Off;
  const float keyFactor = std::exp2((n.pitch - 60.0f) / 12.0f * p.keyTrack);
  const float baseCutoff = p.cutoff * keyFactor * std::exp2((n.param - 0.5f) * p.paramOctaves) *
                           std::exp2((n.velocity - 0.8f) * 1.0f);
  const float lfoPhase0 = uniform01(rng);

  const float driveIn = 1.0f + p.drive;
  const float driveOut = p.drive > 0.0f ? 1.0f / softClip(driveIn) : 1.0f;
  const float outGain = p.gain * n.velocity;

  float dt1 = 0.0f, dt2 = 0.0f, dtMod = 0.0f;
  float trem = 1.0f;
  int quietRun = 0;
  int end = total;
  for (int i = 0; i < total; ++i) {
    if (i % kControlBlock == 0) {
      const float t = static_cast<float>(i) / kSampleRate;
      float pitch = n.pitch;
      if (p.pitchDrop != 0.0f) pitch += p.pitchDrop * std::exp(-t / p.pitchDecay);
      if (n.glideFrom > 0.0f) pitch += (n.glideFrom - n.pitch) * std::exp(-t / p.glide);
      if (p.vibratoCents > 0.0f) {
        const float depth = std::min(1.0f, t / std::max(0.01f, p.vibratoDelay));
        pitch += depth * p.vibratoCents / 100.0f * sinTurns(t * p.vibratoRate);
      }
      const float hz = midiToHz(pitch);
      dt1 = hz / kSampleRate;
      dt2 = dt1 * ratio2;
      dtMod = dt1 * p.fmRatio;
      if (useFilter) {
        float fe = filterEnv.level;
        for (int k = 0; k < kControlBlock; ++k) fe = adsrStep(filterEnv);
        float octaves = p.envOctaves * fe;
        if (p.lfoOctaves != 0.0f) octaves += p.lfoOctaves * sinTurns(lfoPhase0 + t * p.lfoRate);
        const float fc = baseCutoff * std::exp2(octaves);
        svfSet(filterL, fc, p.resonance);
        if (p.stereo) svfSet(filterR, fc, p.resonance);
        if (p.fourPole) {
          svfSetDamping(filterL2, fc, 1.4142f);
          if (p.stereo) svfSetDamping(filterR2, fc, 1.4142f);
        }
      }
      if (p.tremolo > 0.0f) trem = 1.0f - p.tremolo * 0.5f * (1.0f + sinTurns(t * p.tremoloRate));
    }

    float l = 0.0f, r = 0.0f;
    if (p.fmIndex > 0.0f) {
      const float index = p.fmIndex * (p.fmSustain + (1.0f - p.fmSustain) * fmEnv);
      fmEnv *= fmMul;
      const float mod = sinTurns(fmMod.phase) * index * (1.0f / kTwoPi);
      const float y = sinTurns(stack[0].osc.phase + mod) * p.level1;
      fmMod.phase += dtMod;
      if (fmMod.phase >= 1.0f) fmMod.phase -= floorFast(fmMod.phase);
      stack[0].osc.phase += dt1;
      if (stack[0].osc.phase >= 1.0f) stack[0].osc.phase -= floorFast(stack[0].osc.phase);
      l = r = y;
    } else {
      for (int u = 0; u < unison; ++u) {
        const float y = oscStep(stack[u].osc, p.wave1, dt1 * stack[u].ratio);
        l += y * stack[u].gainL;
        r += y * stack[u].gainR;
      }
      l *= stackScale;
      r *= stackScale;
    }
    float mono = 0.0f;
    if (p.level2 > 0.0f) mono += p.level2 * oscStep(osc2, p.wave2, dt2);
    if (p.noiseLevel > 0.0f) mono += p.noiseLevel * whiteNoise(noise);
    l += mono;
    r += mono;

    if (useFilter) {
      l = svfPick(svfStep(filterL, l), p.filter);
      if (p.fourPole) l = svfPick(svfStep(filterL2, l), p.filter);
      if (p.stereo) {
        r = svfPick(svfStep(filterR, r), p.filter);
        if (p.fourPole) r = svfPick(svfStep(filterR2, r), p.filter);
      } else {
        r = l;
      }
    } else if (!p.stereo) {
      l = r = 0.5f * (l + r);
    }
    if (p.drive > 0.0f) {
      l = softClip(l * driveIn) * driveOut;
      r = p.stereo ? softClip(r * driveIn) * driveOut : l;
    }

    const float a = adsrStep(ampEnv) * outGain * trem;
    left[i] = l * a;
    right[i] = r * a;

    // Stop once the envelope has died away for good.
    const bool decaying = !ampEnv.attacking && (ampEnv.position > gateSamples || p.amp.sustain <= 0.0f);
    if (decaying && ampEnv.level < 3e-4f) {
      if (++quietRun > 64) {
        end = i + 1;
        break;
      }
    }
  }
  left.resize(end);
  right.resize(end);
}

}  // namespace music
