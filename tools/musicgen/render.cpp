#include "render.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "dsp.h"
#include "effects.h"
#include "master.h"

namespace music {

namespace {

constexpr int kLanes = 2;
// The longest any note sounds after its onset (textures, final chord).
constexpr double kLongestNote = 20.0;
constexpr int kFxBlock = 256;
// Fixed make-up gain before the limiter, set so the loud sections sit a
// few dB into it.
constexpr float kMasterGain = 1.0f;

struct Buses {
  std::vector<float> dryL, dryR;    // straight to the master
  std::vector<float> duckL, duckR;  // pumped by the kick first
  std::vector<float> reverb, delay; // mono effect sends
};

void allocate(Buses& b, int n) {
  for (std::vector<float>* v : {&b.dryL, &b.dryR, &b.duckL, &b.duckR, &b.reverb, &b.delay})
    v->assign(n, 0.0f);
}

void mixNotes(const std::vector<const Note*>& notes, double from, int n, Buses& b) {
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
    const long start = std::lround((note->time - from) * kSampleRate);
    float* outL = routing.duck ? b.duckL.data() : b.dryL.data();
    float* outR = routing.duck ? b.duckR.data() : b.dryR.data();
    const long first = std::max(0L, -start);
    const long last = std::min(static_cast<long>(l.size()), static_cast<long>(n) - start);
    for (long i = first; i < last; ++i) {
      const long k = start + i;
      const float sl = l[i] * gl, sr = r[i] * gr;
      outL[k] += sl;
      outR[k] += sr;
      const float mono = 0.5f * (sl + sr);
      b.reverb[k] += mono * note->reverb;
      b.delay[k] += mono * note->delay;
    }
  }
}

// Gain curve of the sidechain: every kick pulls the ducked bus down by
// `duck` of the section and lets it swell back within a beat.
void applyDuck(const Song& song, double from, int n, Buses& b) {
  std::vector<long> kicks;
  for (const Note& note : song.notes)
    if (isKick(note.inst)) kicks.push_back(std::lround((note.time - from) * kSampleRate));
  size_t next = 0;
  long last = -(1L << 40);  // long before any sample
  const float attack = 0.005f * kSampleRate;
  const float recover = 0.09f * kSampleRate;
  float depth = 0.0f;
  for (int i = 0; i < n; ++i) {
    while (next < kicks.size() && kicks[next] <= i) last = kicks[next++];
    if (i % kFxBlock == 0) depth = fxAt(song, from + static_cast<double>(i) / kSampleRate).duck;
    float g = 1.0f;
    const float d = static_cast<float>(i - last);
    if (depth > 0.0f && d < 8.0f * recover) {
      const float ramp = d < attack ? d / attack : 1.0f;
      g = 1.0f - depth * ramp * std::exp(-d / recover);
    }
    b.dryL[i] += b.duckL[i] * g;
    b.dryR[i] += b.duckR[i] * g;
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
      b.dryL[at + i] += echoL[i];
      b.dryR[at + i] += echoR[i];
      // The echoes live in the same room.
      b.reverb[at + i] += 0.25f * (echoL[i] + echoR[i]);
    }
    const float* wet = b.reverb.data() + at;
    reverbProcess(reverb, wet, wet, b.dryL.data() + at, b.dryR.data() + at, len, fx.reverbTime);
  }
}

}  // namespace

void renderSong(const Song& song, double from, double to, int threads, StereoBuffer& out) {
  const int n = std::max(0, static_cast<int>(std::lround((to - from) * kSampleRate)));
  std::vector<const Note*> lanes[kLanes];
  int index = 0;
  for (const Note& note : song.notes) {
    if (note.time >= to || note.time < from - kLongestNote) continue;
    lanes[index++ % kLanes].push_back(&note);
  }

  Buses buses[kLanes];
  auto renderLane = [&](int lane) {
    allocate(buses[lane], n);
    mixNotes(lanes[lane], from, n, buses[lane]);
  };
  if (threads > 1) {
    std::vector<std::thread> pool;
    for (int lane = 1; lane < kLanes; ++lane) pool.emplace_back(renderLane, lane);
    renderLane(0);
    for (std::thread& t : pool) t.join();
  } else {
    for (int lane = 0; lane < kLanes; ++lane) renderLane(lane);
  }

  // Lanes are summed in a fixed order: the same result whatever the threads.
  Buses& mix = buses[0];
  for (int lane = 1; lane < kLanes; ++lane) {
    const Buses& b = buses[lane];
    for (int i = 0; i < n; ++i) {
      mix.dryL[i] += b.dryL[i];
      mix.dryR[i] += b.dryR[i];
      mix.duckL[i] += b.duckL[i];
      mix.duckR[i] += b.duckR[i];
      mix.reverb[i] += b.reverb[i];
      mix.delay[i] += b.delay[i];
    }
    buses[lane] = Buses{};
  }

  applyDuck(song, from, n, mix);
  applyEffects(song, from, n, mix);

  DcBlocker dc;
  dcInit(dc, 28.0f);
  dcProcess(dc, mix.dryL.data(), mix.dryR.data(), n);
  // Each section's level, eased over a few tenths of a second at changes.
  float level = dbToGain(fxAt(song, from).level), target = level;
  const float ease = 1.0f - std::exp(-1.0f / (0.15f * kSampleRate));
  for (int i = 0; i < n; ++i) {
    if (i % kFxBlock == 0) target = dbToGain(fxAt(song, from + static_cast<double>(i) / kSampleRate).level);
    level += (target - level) * ease;
    mix.dryL[i] *= kMasterGain * level;
    mix.dryR[i] *= kMasterGain * level;
  }
  limitBuffer(mix.dryL.data(), mix.dryR.data(), n, kCeiling, 0.005f, 0.12f);
  for (int i = 0; i < n; ++i) {
    const float g = fadeGain(from + static_cast<double>(i) / kSampleRate);
    mix.dryL[i] *= g;
    mix.dryR[i] *= g;
  }
  out.left = std::move(mix.dryL);
  out.right = std::move(mix.dryR);
}

}  // namespace music
