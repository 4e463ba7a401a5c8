// Checks the generated soundtrack as the demo will play it: decoded from the
// build's Music/virtaus.ogg.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Track {
  bool opened = false;
  int rate = 0;
  int channels = 0;
  std::vector<float> left, right;

  double seconds() const { return rate ? static_cast<double>(left.size()) / rate : 0.0; }
  long at(double t) const { return std::clamp(static_cast<long>(t * rate), 0L, static_cast<long>(left.size())); }
};

const Track& track() {
  static const Track decoded = [] {
    Track t;
    OggVorbis_File vf;
    const std::string path = LUMIVAARA_BUILD_DIR "/Music/virtaus.ogg";
    if (ov_fopen(path.c_str(), &vf) != 0) return t;
    t.opened = true;
    const vorbis_info* info = ov_info(&vf, -1);
    t.rate = static_cast<int>(info->rate);
    t.channels = info->channels;
    float** pcm = nullptr;
    int section = 0;
    for (;;) {
      const long n = ov_read_float(&vf, &pcm, 4096, &section);
      if (n <= 0) break;
      t.left.insert(t.left.end(), pcm[0], pcm[0] + n);
      t.right.insert(t.right.end(), pcm[t.channels > 1 ? 1 : 0], pcm[t.channels > 1 ? 1 : 0] + n);
    }
    ov_clear(&vf);
    return t;
  }();
  return decoded;
}

double rmsDb(const Track& t, double from, double to) {
  const long a = t.at(from), b = t.at(to);
  double sum = 0.0;
  for (long i = a; i < b; ++i) sum += 0.5 * (t.left[i] * t.left[i] + t.right[i] * t.right[i]);
  return 10.0 * std::log10(sum / std::max(1L, b - a) + 1e-30);
}

// Loudness with the ear's weighting (ITU-R BS.1770 K filter, 48 kHz
// coefficients, close enough at 44.1 kHz for comparing sections).
double loudness(const Track& t, double from, double to) {
  struct Biquad {
    double b0, b1, b2, a1, a2, z1 = 0.0, z2 = 0.0;
    double step(double x) {
      const double y = b0 * x + z1;
      z1 = b1 * x - a1 * y + z2;
      z2 = b2 * x - a2 * y;
      return y;
    }
  };
  const Biquad shelf{1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241, 0.73248077421585};
  const Biquad highPass{1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621};
  Biquad sl = shelf, hl = highPass, sr = shelf, hr = highPass;
  const long a = t.at(from), b = t.at(to);
  double sum = 0.0;
  for (long i = a; i < b; ++i) {
    const double l = hl.step(sl.step(t.left[i])), r = hr.step(sr.step(t.right[i]));
    sum += l * l + r * r;
  }
  return -0.691 + 10.0 * std::log10(sum / std::max(1L, b - a) + 1e-30);
}

// Energy in frames of the sound above 300 Hz, where the attack of a hit
// stands out from sustained bass, without weighting the treble as a
// first difference would.
std::vector<double> attackEnergy(const Track& t, double from, double to, double frame) {
  const long a = t.at(from), b = t.at(to);
  const long hop = static_cast<long>(frame * t.rate);
  const double c = 1.0 - std::exp(-2.0 * 3.14159265358979 * 300.0 / t.rate);
  double lowL = 0.0, lowR = 0.0;
  for (long i = std::max(0L, a - t.rate / 10); i < a; ++i) {  // settle the filter
    lowL += c * (t.left[i] - lowL);
    lowR += c * (t.right[i] - lowR);
  }
  std::vector<double> e;
  for (long s = a; s + hop <= b; s += hop) {
    double sum = 0.0;
    for (long i = s; i < s + hop; ++i) {
      lowL += c * (t.left[i] - lowL);
      lowR += c * (t.right[i] - lowR);
      const double hl = t.left[i] - lowL, hr = t.right[i] - lowR;
      sum += hl * hl + hr * hr;
    }
    e.push_back(sum);
  }
  return e;
}

// How strongly the sound attacks at `time`, searched within +-window: the
// energy of the 15 ms after a frame over that of the 40 ms before it.
double onsetStrength(const Track& t, double time, double window) {
  constexpr double kFrame = 0.005;
  const double from = std::max(0.0, time - window - 0.05);
  const std::vector<double> e = attackEnergy(t, from, time + window + 0.02, kFrame);
  double best = 0.0;
  for (size_t k = 0; k < e.size(); ++k) {
    const double frameTime = from + k * kFrame;
    if (std::fabs(frameTime - time) > window) continue;
    double before = 0.0, after = 0.0;
    int nb = 0;
    for (int j = 1; j <= 8; ++j)
      if (k >= static_cast<size_t>(j)) {
        before += e[k - j];
        ++nb;
      }
    for (int j = 0; j < 3 && k + j < e.size(); ++j) after += e[k + j];
    before = nb ? before / nb : 0.0;
    after /= 3.0;
    best = std::max(best, after / (before + 1e-9));
  }
  return best;
}

// The scenes of the picture, each of which the music marks.
struct Span {
  const char* name;
  double from, to;
};
const Span kScenes[] = {
    {"sky flashes", 0.0, 17.5},     {"landscape", 17.5, 36.5},     {"ringed planet", 36.5, 63.0},
    {"corridor", 63.0, 96.0},       {"corridor flight", 96.0, 111.2}, {"lamp park", 111.2, 127.5},
    {"mirror", 127.5, 159.5},       {"walkers", 159.5, 192.0},     {"fractal", 192.0, 208.0},
    {"spikes", 208.0, 240.0},       {"spikes peak", 240.0, 256.0}, {"conveyor", 256.0, 304.0},
    {"tunnel", 304.0, 324.0},
};

TEST(MusicTrack, IsStereoAt44100HzAndOutlastsThePicture) {
  const Track& t = track();
  ASSERT_TRUE(t.opened) << "Music/virtaus.ogg missing or unreadable";
  EXPECT_EQ(t.rate, 44100);
  EXPECT_EQ(t.channels, 2);
  EXPECT_GE(t.seconds(), 331.0);
}

TEST(MusicTrack, StaysBelowFullScaleWithoutClipping) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  float peak = 0.0f;
  int run = 0, longestRun = 0;
  for (size_t i = 0; i < t.left.size(); ++i) {
    const float m = std::max(std::fabs(t.left[i]), std::fabs(t.right[i]));
    peak = std::max(peak, m);
    run = m >= 0.999f ? run + 1 : 0;
    longestRun = std::max(longestRun, run);
  }
  EXPECT_LE(peak, 1.0f);
  EXPECT_LE(longestRun, 2) << "samples pinned at full scale";
  // The mastering ceiling is -1 dBFS; the codec may overshoot it slightly.
  EXPECT_LE(20.0 * std::log10(peak), -0.1);
}

TEST(MusicTrack, HasNoDcOffset) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  double sum = 0.0;
  for (size_t i = 0; i < t.left.size(); ++i) sum += t.left[i] + t.right[i];
  EXPECT_LT(std::fabs(sum / (2.0 * t.left.size())), 1e-3);
}

TEST(MusicTrack, EverySceneIsAudibleUntilTheFade) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  for (const Span& s : kScenes) EXPECT_GT(rmsDb(t, s.from, s.to), -40.0) << s.name;
  // No silent holes inside the scenes either.
  for (double s = 0.0; s < 324.0; s += 1.0) EXPECT_GT(rmsDb(t, s, s + 1.0), -45.0) << "second " << s;
}

TEST(MusicTrack, FadesToSilenceWithThePicture) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  EXPECT_LT(rmsDb(t, 327.0, 328.0), rmsDb(t, 322.0, 323.0) - 6.0);
  EXPECT_LT(rmsDb(t, 329.8, 330.2), -55.0);
  EXPECT_LT(rmsDb(t, 330.0, t.seconds()), -70.0);
}

TEST(MusicTrack, IntroHitsLandOnTheLightFlashes) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  // The coloured lights' figure, twice, and the big double flash.
  const double flashes[] = {0.0, 0.5, 3.5, 4.0, 4.25, 4.5, 8.0, 8.5, 11.5, 12.0, 12.25, 12.5, 16.0, 16.5};
  // A hit: the level above 300 Hz jumps by at least 6 dB at once.
  for (double f : flashes) EXPECT_GT(onsetStrength(t, f, 0.03), 4.0) << "flash at " << f << " s";
  // ... and not everywhere: nothing strikes in the gaps of the figure.
  for (double quiet : {2.0, 2.5, 3.0, 6.0, 6.5, 7.0, 10.0, 10.5, 11.0})
    EXPECT_LT(onsetStrength(t, quiet, 0.03), 2.0) << "at " << quiet << " s";
}

TEST(MusicTrack, IsWideStereo) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  double ll = 0.0, rr = 0.0, lr = 0.0;
  for (size_t i = 0; i < t.left.size(); ++i) {
    ll += t.left[i] * t.left[i];
    rr += t.right[i] * t.right[i];
    lr += t.left[i] * t.right[i];
  }
  const double correlation = lr / std::sqrt(ll * rr);
  EXPECT_LT(correlation, 0.97);
  EXPECT_GT(correlation, 0.3) << "channels should not fight each other";
  EXPECT_LT(std::fabs(10.0 * std::log10(ll / rr)), 1.5) << "balanced left and right";
}

TEST(MusicTrack, FollowsTheDramaOfThePicture) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  const double planet = loudness(t, 36.5, 63.0);
  const double corridor = loudness(t, 63.0, 96.0);
  const double park = loudness(t, 111.2, 127.5);
  const double fractal = loudness(t, 192.0, 208.0);
  const double peak = loudness(t, 240.0, 256.0);
  EXPECT_GT(planet, corridor + 2.0) << "the corridor is calmer than the planet";
  EXPECT_GT(peak, fractal + 3.0) << "the spikes' peak towers over the breakdown";
  EXPECT_GT(peak, park + 3.0);
  for (const Span& s : kScenes) EXPECT_GE(peak, loudness(t, s.from, s.to) - 0.01) << s.name;
}

// Period of the strongest repetition of attacks in [from, to), searched
// between minLag and maxLag seconds.
double pulsePeriod(const Track& t, double from, double to, double minLag, double maxLag) {
  constexpr double kFrame = 0.005;
  const std::vector<double> e = attackEnergy(t, from, to, kFrame);
  std::vector<double> flux(e.size(), 0.0);
  for (size_t k = 1; k < e.size(); ++k) flux[k] = std::max(0.0, std::log(e[k] + 1e-9) - std::log(e[k - 1] + 1e-9));
  double bestLag = 0.0, best = -1.0;
  for (int lag = static_cast<int>(minLag / kFrame); lag <= static_cast<int>(maxLag / kFrame); ++lag) {
    double sum = 0.0;
    for (size_t k = lag; k < flux.size(); ++k) sum += flux[k] * flux[k - lag];
    if (sum > best) {
      best = sum;
      bestLag = lag * kFrame;
    }
  }
  return bestLag;
}

TEST(MusicTrack, GroovesAt120Bpm) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  EXPECT_NEAR(pulsePeriod(t, 40.0, 60.0, 0.35, 0.65), 0.5, 0.011) << "ringed planet";
  EXPECT_NEAR(pulsePeriod(t, 260.0, 286.0, 0.35, 0.65), 0.5, 0.011) << "conveyor";
}

TEST(MusicTrack, MirrorSceneTicksOnItsSlowerGrid) {
  const Track& t = track();
  ASSERT_TRUE(t.opened);
  // One bar per line of text: 2.68 s, so a beat of 0.67 s.
  EXPECT_NEAR(pulsePeriod(t, 136.0, 154.0, 0.55, 0.8), 0.67, 0.011);
}

}  // namespace
