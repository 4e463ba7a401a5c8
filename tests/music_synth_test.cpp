// The synthesizer's building blocks: oscillators, envelopes, filters,
// effects and the master bus.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp.h"
#include "effects.h"
#include "envelope.h"
#include "filter.h"
#include "master.h"
#include "oscillators.h"
#include "rng.h"
#include "synth_voice.h"

namespace music {
namespace {

double energy(const std::vector<float>& x, size_t from, size_t to) {
  double e = 0.0;
  for (size_t i = from; i < to && i < x.size(); ++i) e += static_cast<double>(x[i]) * x[i];
  return e;
}

TEST(MusicDsp, PolynomialSineMatchesTheLibrary) {
  for (int i = -2000; i <= 2000; ++i) {
    const float turns = i * 0.00137f;
    EXPECT_NEAR(sinTurns(turns), std::sin(turns * 2.0 * 3.14159265358979), 2e-5) << turns;
  }
}

TEST(MusicDsp, PanLawKeepsPower) {
  for (float pan = -1.0f; pan <= 1.0f; pan += 0.25f) {
    float l, r;
    panGains(pan, l, r);
    EXPECT_NEAR(l * l + r * r, 1.0f, 1e-5f);
  }
  float l, r;
  panGains(-1.0f, l, r);
  EXPECT_NEAR(r, 0.0f, 1e-6f);
}

TEST(MusicOscillator, SawIsBoundedCentredAndInTune) {
  Oscillator osc;
  const float hz = 441.0f;
  const int n = kSampleRate;  // one second: 441 cycles
  double sum = 0.0;
  int rising = 0;
  float previous = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float y = oscStep(osc, Wave::Saw, hz / kSampleRate);
    EXPECT_LE(std::fabs(y), 1.1f);
    sum += y;
    if (i > 0 && previous < 0.0f && y >= 0.0f) ++rising;
    previous = y;
  }
  EXPECT_NEAR(sum / n, 0.0, 0.01);
  EXPECT_NEAR(rising, 441, 1);
}

TEST(MusicOscillator, BandLimitedSquareAliasesLessThanANaiveOne) {
  // A high square wave's aliases land between its harmonics; PolyBLEP
  // should leave less energy there than the naive waveform does. Measure
  // with a comb of sine probes away from the odd harmonics of 3 kHz.
  const float hz = 3001.0f;
  const int n = 1 << 14;
  std::vector<float> blep(n), naive(n);
  Oscillator a;
  float phase = 0.0f;
  for (int i = 0; i < n; ++i) {
    blep[i] = oscStep(a, Wave::Square, hz / kSampleRate);
    naive[i] = phase < 0.5f ? 1.0f : -1.0f;
    phase += hz / kSampleRate;
    if (phase >= 1.0f) phase -= 1.0f;
  }
  auto probe = [&](const std::vector<float>& x, float f) {
    double re = 0.0, im = 0.0;
    for (int i = 0; i < n; ++i) {
      re += x[i] * std::cos(2.0 * 3.14159265358979 * f * i / kSampleRate);
      im += x[i] * std::sin(2.0 * 3.14159265358979 * f * i / kSampleRate);
    }
    return re * re + im * im;
  };
  double aliasBlep = 0.0, aliasNaive = 0.0;
  // Odd harmonics above Nyquist fold to 44100 - k*3001: 5, 7, 9, ... times.
  for (int k = 9; k <= 21; k += 2) {
    const float folded = std::fabs(kSampleRate * std::round(k * hz / kSampleRate) - k * hz);
    aliasBlep += probe(blep, folded);
    aliasNaive += probe(naive, folded);
  }
  EXPECT_LT(aliasBlep, aliasNaive * 0.25);
}

TEST(MusicEnvelope, RisesHoldsAndReleases) {
  const AdsrShape shape{0.01f, 0.2f, 0.5f, 0.3f};
  const int gate = kSampleRate / 2;
  Adsr env = makeAdsr(shape, gate);
  float peak = 0.0f, previous = 0.0f;
  for (int i = 0; i < static_cast<int>(0.01f * kSampleRate); ++i) {
    const float v = adsrStep(env);
    EXPECT_GE(v, previous);
    previous = v;
    peak = std::max(peak, v);
  }
  EXPECT_NEAR(peak, 1.0f, 0.01f);
  float atGate = 0.0f;
  for (int i = static_cast<int>(0.01f * kSampleRate); i < gate; ++i) atGate = adsrStep(env);
  EXPECT_NEAR(atGate, 0.5f, 0.01f);  // decayed onto the sustain level
  const int tail = adsrTailSamples(shape);
  float last = atGate;
  for (int i = 0; i < tail; ++i) {
    const float v = adsrStep(env);
    EXPECT_LE(v, last + 1e-7f);
    EXPECT_GE(v, 0.0f);
    last = v;
  }
  EXPECT_LT(last, atGate * 0.001f);  // 60 dB down by the end of its tail
}

TEST(MusicFilter, LowPassPassesBassAndCutsTreble) {
  auto gainAt = [](float hz) {
    Svf f;
    svfSet(f, 1000.0f, 0.0f);
    Oscillator o;
    double in = 0.0, out = 0.0;
    for (int i = 0; i < kSampleRate / 2; ++i) {
      const float x = oscStep(o, Wave::Sine, hz / kSampleRate);
      const float y = svfStep(f, x).low;
      if (i > kSampleRate / 10) {
        in += x * x;
        out += y * y;
      }
    }
    return 10.0 * std::log10(out / in);
  };
  EXPECT_NEAR(gainAt(100.0f), 0.0, 0.5);
  EXPECT_LT(gainAt(8000.0f), -30.0);  // two poles: 12 dB per octave
}

TEST(MusicFilter, StaysStableWhenSweptHardAtFullResonance) {
  // Cutoff jumping around every few samples at maximum resonance, driven by
  // loud noise: a naive biquad would blow up; the TPT filter must not.
  Svf f;
  Rng rng = makeRng(7);
  Noise noise = makeNoise(3);
  float peak = 0.0f;
  for (int i = 0; i < 10 * kSampleRate; ++i) {
    if (i % 7 == 0) svfSet(f, 20.0f + uniform01(rng) * 21000.0f, 1.0f);
    const SvfOut o = svfStep(f, whiteNoise(noise));
    ASSERT_TRUE(std::isfinite(o.low) && std::isfinite(o.band) && std::isfinite(o.high)) << i;
    peak = std::max(peak, std::fabs(o.low));
  }
  EXPECT_LT(peak, 200.0f);
  // And it rings down to nothing once the input stops.
  for (int i = 0; i < kSampleRate; ++i) svfStep(f, 0.0f);
  EXPECT_LT(std::fabs(svfStep(f, 0.0f).low), 1e-6f);
}

TEST(MusicVoice, RendersToSilenceAndIsRepeatable) {
  Patch p;
  p.unison = 5;
  p.spreadCents = 20.0f;
  p.width = 0.8f;
  p.stereo = true;
  p.envOctaves = 2.0f;
  p.amp = {0.01f, 0.5f, 0.6f, 0.3f};
  SynthNote n;
  n.pitch = 57.0f;
  n.gate = 0.5f;
  n.seed = 42;
  std::vector<float> l1, r1, l2, r2;
  renderSynth(p, n, l1, r1);
  renderSynth(p, n, l2, r2);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
  ASSERT_GT(l1.size(), static_cast<size_t>(0.5f * kSampleRate));
  EXPECT_LT(std::fabs(l1.back()), 1e-3f);
  EXPECT_NE(l1, r1) << "a spread unison stack is stereo";
  n.seed = 43;
  renderSynth(p, n, l2, r2);
  EXPECT_NE(l1, l2) << "another seed, other free-running phases";
}

TEST(MusicVoice, SlideStartsAtThePreviousNote) {
  Patch p;
  p.wave1 = Wave::Sine;
  p.filter = FilterMode::Off;
  p.glide = 0.05f;
  p.amp = {0.001f, 1.0f, 1.0f, 0.05f};
  SynthNote n;
  n.pitch = 69.0f;       // 440 Hz
  n.glideFrom = 57.0f;   // from 220 Hz
  n.gate = 0.4f;
  std::vector<float> l, r;
  renderSynth(p, n, l, r);
  auto crossings = [&](int from, int to) {
    int c = 0;
    for (int i = from + 1; i < to; ++i)
      if (l[i - 1] < 0.0f && l[i] >= 0.0f) ++c;
    return c;
  };
  const int tenth = kSampleRate / 20;  // 50 ms windows
  EXPECT_LT(crossings(0, tenth), 0.05 * 330);         // still low at first
  EXPECT_NEAR(crossings(6 * tenth, 7 * tenth), 22, 1);  // 440 Hz later
}

TEST(MusicEffects, PingPongEchoesLeftThenRight) {
  PingPongDelay d;
  delayInit(d, 1.0f);
  const int n = kSampleRate;
  std::vector<float> in(n, 0.0f), l(n, 0.0f), r(n, 0.0f);
  in[0] = 1.0f;
  delayProcess(d, in.data(), in.data(), l.data(), r.data(), n, 0.25f, 0.5f);
  const int q = kSampleRate / 4;
  auto near = [&](const std::vector<float>& x, int at) { return energy(x, at - 200, at + 200); };
  EXPECT_GT(near(l, q), 0.01);
  EXPECT_LT(near(r, q), 1e-6);
  EXPECT_GT(near(r, 2 * q), 0.001);
  EXPECT_LT(near(l, 2 * q), 1e-6);
  EXPECT_LT(near(l, 3 * q), near(l, q));  // fading with each repeat
}

TEST(MusicEffects, ReverbDecaysAtItsTime) {
  auto tail = [](float rt60) {
    Reverb rev;
    reverbInit(rev, 0.02f);
    const int n = 4 * kSampleRate;
    std::vector<float> in(n, 0.0f), l(n, 0.0f), r(n, 0.0f);
    Noise noise = makeNoise(5);
    for (int i = 0; i < 441; ++i) in[i] = 0.5f * whiteNoise(noise);  // a 10 ms burst
    reverbProcess(rev, in.data(), in.data(), l.data(), r.data(), n, rt60);
    for (float v : l) EXPECT_TRUE(std::isfinite(v));
    return std::vector<double>{energy(l, 0, kSampleRate / 2), energy(l, kSampleRate, 3 * kSampleRate / 2),
                               energy(l, 3 * kSampleRate, 7 * kSampleRate / 2)};
  };
  const std::vector<double> shortRoom = tail(1.0f), hall = tail(4.0f);
  // 1 s to -60 dB: a second later it is long gone.
  EXPECT_LT(shortRoom[1], shortRoom[0] * 1e-4);
  // A 4 s hall loses about 15 dB per second (treble a little faster).
  EXPECT_GT(hall[1], hall[0] * 1e-2);
  EXPECT_LT(hall[2], hall[1] * 1e-2);
  EXPECT_GT(hall[2], hall[1] * 1e-4);
}

TEST(MusicMaster, LimiterHoldsTheCeilingAndLeavesQuietSoundAlone) {
  Rng rng = makeRng(11);
  const int n = 2 * kSampleRate;
  std::vector<float> l(n), r(n);
  for (int i = 0; i < n; ++i) {
    // Quiet first second, then bursts up to 12 dB over full scale.
    const float level = i < kSampleRate ? 0.3f : (i / 441) % 3 == 0 ? 4.0f : 0.8f;
    l[i] = level * uniformPm(rng);
    r[i] = level * uniformPm(rng);
  }
  const std::vector<float> quietL(l.begin(), l.begin() + kSampleRate / 2);
  limitBuffer(l.data(), r.data(), n, 0.891f, 0.005f, 0.1f);
  for (int i = 0; i < n; ++i) {
    ASSERT_LE(std::fabs(l[i]), 0.891f) << i;
    ASSERT_LE(std::fabs(r[i]), 0.891f) << i;
  }
  // Under the ceiling nothing changes, and nothing moves in time.
  for (int i = 0; i < kSampleRate / 2; ++i) ASSERT_FLOAT_EQ(l[i], quietL[i]) << i;
}

TEST(MusicMaster, DcBlockerRemovesOffsetKeepsTheMusic) {
  DcBlocker dc;
  dcInit(dc, 20.0f);
  const int n = 2 * kSampleRate;
  std::vector<float> l(n), r(n);
  Oscillator o;
  for (int i = 0; i < n; ++i) {
    const float tone = 0.5f * oscStep(o, Wave::Sine, 220.0f / kSampleRate);
    l[i] = 0.3f + tone;
    r[i] = -0.2f + tone;
  }
  dcProcess(dc, l.data(), r.data(), n);
  double meanL = 0.0, meanR = 0.0, power = 0.0;
  for (int i = kSampleRate; i < n; ++i) {
    meanL += l[i];
    meanR += r[i];
    power += l[i] * l[i];
  }
  EXPECT_NEAR(meanL / kSampleRate, 0.0, 1e-3);
  EXPECT_NEAR(meanR / kSampleRate, 0.0, 1e-3);
  EXPECT_NEAR(power / kSampleRate, 0.125, 0.005);  // the 220 Hz tone intact
}

}  // namespace
}  // namespace music
