#include "render.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "dsp.h"
#include "effects.h"
#include "master.h"

namespace music {

namespace {

// Notes are rendered in slices of the timeline by onset time. A slice's
// buffer reaches past its end by the longest ring-out, shorter than a
// slice, so every sample collects at most two slices: adding those onto
// silence gives the same bits in either order, whatever the threads do.
constexpr double kSliceSeconds = 41.5;
constexpr double kLongestNote = 24.0;
constexpr int kFxBlock = 256;
static_assert(kLongestNote < kSliceSeconds, "slices may only overlap their neighbours");

// Fixed make-up gain before the limiter.
constexpr float kMasterGain = 1.0f;

struct Buses {
  std::vector<float> left, right;   // the dry mix
  std::vector<float> reverb, delay; // mono effect sends
};

void allocate(Buses& b, int n) {
  for (std::vector<float>* v : {&b.left, &b.right, &b.reverb, &b.delay}) v->assign(n, 0.0f);
}

// Gain curve of the sidechain: every kick pulls the ducked instruments down
// by the section's depth and lets them swell back within a beat.
std::vector<float> duckCurve(const Song& song, double from, int n) {
  std::vector<long> kicks;
  for (const Note& note : song.notes)
    if (isKick(note.inst)) kicks.push_back(std::lround((note.time - from) * kSampleRate));
  std::vector<float> curve(n, 1.0f);
  size_t next = 0;
  long last = -(1L << 40);  // long before any sample
  const float attack = 0.005f * kSampleRate;
  const float recover = 0.09f * kSampleRate;
  float depth = 0.0f;
  for (int i = 0; i < n; ++i) {
    while (next < kicks.size() && kicks[next] <= i) last = kicks[next++];
    if (i % kFxBlock == 0) depth = fxAt(song, from + static_cast<double>(i) / kSampleRate).duck;
    const float d = static_cast<float>(i - last);
    if (depth > 0.0f && d < 8.0f * recover) {
      const float ramp = d < attack ? d / attack : 1.0f;
      curve[i] = 1.0f - depth * ramp * std::exp(-d / recover);
    }
  }
  return curve;
}

// Mixes notes into buses whose first sample is at `origin` seconds.
void mixNotes(const std::vector<const Note*>& notes, double origin, const std::vector<float>& duck,
              long duckOffset, Buses& b) {
  const long n = static_cast<long>(b.left.size());
  const long duckSize = static_cast<long>(duck.size());
  std::vector<float> l, r;
  for (const Note* note : notes) {
    renderNote(*note, l, r);
    const Routing& routing = routingOf(note->inst);
    float gl, gr;
    panGains(note->pan, gl, gr);
    // Normalised so a centred note keeps its level on both sides.
    const float g = routing.gain * 1.41421356f;
    gl *= g;
    gr *= g;
    const long start = std::lround((note->time - origin) * kSampleRate);
    const long first = std::max(0L, -start);
    const long last = std::min(static_cast<long>(l.size()), n - start);
    for (long i = first; i < last; ++i) {
      const long k = start + i;
      float sl = l[i] * gl, sr = r[i] * gr;
      if (routing.duck) {
        const long d = k + duckOffset;
        if (d >= 0 && d < duckSize) {
          sl *= duck[d];
          sr *= duck[d];
        }
      }
      b.left[k] += sl;
      b.right[k] += sr;
      const float mono = 0.5f * (sl + sr);
      b.reverb[k] += mono * note->reverb;
      b.delay[k] += mono * note->delay;
    }
  }
}

void applyEffects(const Song& song, double from, int n, Buses& b) {
  PingPongDelay delay;
  delayInit(delay, 1.5f);
  Reverb reverb;
  reverbInit(reverb, 0.025f);
  float echoL[kFxBlock], echoR[kFxBlock];
  for (int at = 0; at < n; at += kFxBlock) {
    const int len = std::min(kFxBlock, n - at);
    const FxState fx = fxAt(song, from + static_cast<double>(at) / kSampleRate);
    std::fill(echoL, echoL + len, 0.0f);
    std::fill(echoR, echoR + len, 0.0f);
    const float* send = b.delay.data() + at;
    delayProcess(delay, send, send, echoL, echoR, len, fx.delaySeconds, fx.delayFeedback);
    for (int i = 0; i < len; ++i) {
      b.left[at + i] += echoL[i];
      b.right[at + i] += echoR[i];
      // The echoes live in the same room.
      b.reverb[at + i] += 0.25f * (echoL[i] + echoR[i]);
    }
    const float* wet = b.reverb.data() + at;
    reverbProcess(reverb, wet, wet, b.left.data() + at, b.right.data() + at, len, fx.reverbTime);
  }
}

}  // namespace

void renderSong(const Song& song, double from, double to, int threads, StereoBuffer& out) {
  const int n = std::max(0, static_cast<int>(std::lround((to - from) * kSampleRate)));
  const int slices = std::max(1, static_cast<int>(std::ceil((to - from + kLongestNote) / kSliceSeconds)));
  std::vector<std::vector<const Note*>> sliceNotes(slices);
  for (const Note& note : song.notes) {
    if (note.time >= to || note.time < from - kLongestNote) continue;
    const int slice = static_cast<int>(std::floor((note.time - (from - kLongestNote)) / kSliceSeconds));
    sliceNotes[std::min(slice, slices - 1)].push_back(&note);
  }

  const std::vector<float> duck = duckCurve(song, from, n);
  Buses mix;
  allocate(mix, n);
  std::mutex mixLock;
  std::atomic<int> nextSlice{0};
  auto worker = [&] {
    Buses part;
    for (int slice = nextSlice++; slice < slices; slice = nextSlice++) {
      const double origin = from - kLongestNote + slice * kSliceSeconds;
      allocate(part, static_cast<int>((kSliceSeconds + kLongestNote) * kSampleRate));
      const long offset = std::lround((origin - from) * kSampleRate);  // of part in mix
      mixNotes(sliceNotes[slice], origin, duck, offset, part);
      std::lock_guard<std::mutex> hold(mixLock);
      const long first = std::max(0L, -offset);
      const long last = std::min(static_cast<long>(part.left.size()), static_cast<long>(n) - offset);
      for (long i = first; i < last; ++i) {
        mix.left[offset + i] += part.left[i];
        mix.right[offset + i] += part.right[i];
        mix.reverb[offset + i] += part.reverb[i];
        mix.delay[offset + i] += part.delay[i];
      }
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();

  applyEffects(song, from, n, mix);

  DcBlocker dc;
  dcInit(dc, 28.0f);
  dcProcess(dc, mix.left.data(), mix.right.data(), n);
  // Each section's level, eased over a few tenths of a second at changes.
  float level = dbToGain(fxAt(song, from).level), target = level;
  const float ease = 1.0f - std::exp(-1.0f / (0.15f * kSampleRate));
  for (int i = 0; i < n; ++i) {
    if (i % kFxBlock == 0) target = dbToGain(fxAt(song, from + static_cast<double>(i) / kSampleRate).level);
    level += (target - level) * ease;
    mix.left[i] *= kMasterGain * level;
    mix.right[i] *= kMasterGain * level;
  }
  limitBuffer(mix.left.data(), mix.right.data(), n, kCeiling, 0.005f, 0.12f);
  for (int i = 0; i < n; ++i) {
    const float g = fadeGain(from + static_cast<double>(i) / kSampleRate);
    mix.left[i] *= g;
    mix.right[i] *= g;
  }
  out.left = std::move(mix.left);
  out.right = std::move(mix.right);
}

}  // namespace music
