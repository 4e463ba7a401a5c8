// Every instrument of the rack, rendered on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "arrangement.h"
#include "dsp.h"
#include "instruments.h"
#include "master.h"

namespace music {
namespace {

float peakOf(const std::vector<float>& x, size_t from, size_t to) {
  float p = 0.0f;
  for (size_t i = from; i < to && i < x.size(); ++i) p = std::max(p, std::fabs(x[i]));
  return p;
}

Note noteFor(Inst inst) {
  Note n;
  n.inst = inst;
  n.pitch = inst == Inst::Tom ? 50.0f : inst == Inst::Boom ? 33.0f : 57.0f;
  n.length = inst >= Inst::Riser ? 3.0f : 0.6f;
  n.velocity = 1.0f;
  n.seed = 99;
  return n;
}

TEST(MusicSounds, EveryInstrumentSoundsAndDiesAwayCleanly) {
  for (int i = 0; i < static_cast<int>(Inst::Count); ++i) {
    const Inst inst = static_cast<Inst>(i);
    std::vector<float> l, r;
    renderNote(noteFor(inst), l, r);
    ASSERT_EQ(l.size(), r.size()) << instName(inst);
    ASSERT_GT(l.size(), 100u) << instName(inst);
    for (size_t k = 0; k < l.size(); ++k)
      ASSERT_TRUE(std::isfinite(l[k]) && std::isfinite(r[k])) << instName(inst) << " at " << k;
    const float peak = std::max(peakOf(l, 0, l.size()), peakOf(r, 0, r.size()));
    EXPECT_GT(peak, 0.01f) << instName(inst) << " is silent";
    EXPECT_LT(peak, 2.0f) << instName(inst) << " is far too hot";
    // A sound that stops while still loud clicks. Swells are cut on purpose
    // (they land on a hit), but through a fade, never a step.
    const bool swell = inst == Inst::Riser || inst == Inst::ReverseCrash;
    const size_t tail = std::min<size_t>(l.size(), kSampleRate / (swell ? 1000 : 200));
    const float end = std::max(peakOf(l, l.size() - tail, l.size()), peakOf(r, r.size() - tail, r.size()));
    EXPECT_LT(end, (swell ? 0.2f : 0.02f) * peak + 1e-4f) << instName(inst) << " stops abruptly";
  }
}

TEST(MusicSounds, HitsStartAtOnce) {
  // Drums must speak within a few milliseconds: the intro's hits are timed
  // to the picture.
  for (Inst inst : {Inst::Kick, Inst::KickHeavy, Inst::Snare, Inst::Clap, Inst::Tom, Inst::Stab, Inst::Crash}) {
    std::vector<float> l, r;
    renderNote(noteFor(inst), l, r);
    const float peak = peakOf(l, 0, l.size());
    const float early = peakOf(l, 0, kSampleRate * 5 / 1000);
    EXPECT_GT(early, 0.3f * peak) << instName(inst);
  }
}

TEST(MusicSounds, TexturesLastAsLongAsAsked) {
  for (Inst inst : {Inst::Riser, Inst::Whoosh, Inst::ReverseCrash, Inst::Wind, Inst::Crickets, Inst::Crackle}) {
    Note n = noteFor(inst);
    n.length = 5.0f;
    std::vector<float> l, r;
    renderNote(n, l, r);
    EXPECT_NEAR(static_cast<double>(l.size()) / kSampleRate, 5.0, 0.01) << instName(inst);
  }
  // A swell ends on its loudest moment: it is timed to land on a cut.
  Note n = noteFor(Inst::ReverseCrash);
  n.length = 1.0f;
  std::vector<float> l, r;
  renderNote(n, l, r);
  EXPECT_GT(peakOf(l, l.size() - kSampleRate / 10, l.size()), 0.5f * peakOf(l, 0, l.size()));
  EXPECT_LT(peakOf(l, 0, kSampleRate / 10), 0.1f * peakOf(l, 0, l.size()));
}

TEST(MusicSounds, SameNoteSameSoundOtherSeedOtherNoise) {
  Note n = noteFor(Inst::Snare);
  std::vector<float> a, b, c, r;
  renderNote(n, a, r);
  renderNote(n, b, r);
  n.seed = 100;
  renderNote(n, c, r);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

TEST(MusicSounds, RoutingIsComplete) {
  for (int i = 0; i < static_cast<int>(Inst::Count); ++i) {
    const Routing& r = routingOf(static_cast<Inst>(i));
    EXPECT_GT(r.gain, 0.0f);
    EXPECT_LE(r.gain, 1.0f);
    EXPECT_GE(r.reverb, 0.0f);
    EXPECT_GE(r.delay, 0.0f);
  }
  EXPECT_TRUE(isKick(Inst::Kick));
  EXPECT_FALSE(isKick(Inst::KickSoft));  // the quiet scenes do not pump
}

TEST(MusicMaster, LimiterDelaysByExactlyItsLatency) {
  Limiter lim;
  limiterInit(lim, 0.9f, 0.005f, 0.1f);
  const int n = 1000;
  std::vector<float> in(n, 0.0f), l(n), r(n);
  in[10] = 0.5f;
  limiterProcess(lim, in.data(), in.data(), l.data(), r.data(), n);
  const int latency = limiterLatency(lim);
  for (int i = 0; i < n; ++i) EXPECT_FLOAT_EQ(l[i], i == 10 + latency ? 0.5f : 0.0f) << i;
}

TEST(MusicSong, FadeAndEffectsFollowTheScenes) {
  EXPECT_FLOAT_EQ(fadeGain(0.0), 1.0f);
  EXPECT_FLOAT_EQ(fadeGain(kFadeFrom), 1.0f);
  EXPECT_FLOAT_EQ(fadeGain(kFadeTo), 0.0f);
  EXPECT_FLOAT_EQ(fadeGain(331.0), 0.0f);
  for (double t = kFadeFrom; t < kFadeTo; t += 0.1) EXPECT_GE(fadeGain(t), fadeGain(t + 0.1));

  Song song;
  ASSERT_TRUE(composeSong(song));
  // The corridor echoes: longer reverb and more feedback than the planet.
  EXPECT_GT(fxAt(song, 70.0).reverbTime, fxAt(song, 50.0).reverbTime);
  EXPECT_GT(fxAt(song, 70.0).delayFeedback, fxAt(song, 50.0).delayFeedback);
  // The delay keeps a dotted eighth of whatever grid is running.
  EXPECT_NEAR(fxAt(song, 50.0).delaySeconds, 0.375, 1e-6);
  EXPECT_NEAR(fxAt(song, 140.0).delaySeconds, 0.75 * 0.67, 1e-6);
  // The dance scenes pump with the kick, the quiet ones do not.
  EXPECT_GT(fxAt(song, 50.0).duck, 0.3f);
  EXPECT_EQ(fxAt(song, 120.0).duck, 0.0f);
  // No note outlasts what the renderer lets ring into the next slice.
  for (const Note& n : song.notes) EXPECT_LT(n.length, 18.0f) << instName(n.inst) << " at " << n.time;
}

}  // namespace
}  // namespace music
