#include "host/scene_state.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "effects/light_shafts.h"
#include "host/demo.h"
#include "scenes/lamp_park.h"
#include "scenes/lantern_corridor.h"
#include "scenes/mirror_hall.h"
#include "scenes/scroller.h"
#include "scenes/spikes.h"
#include "scenes/triangle_fractal.h"

namespace {

// Each walk hands `visit` every region of carried state, always in the same
// order, so a snapshot, its restore and the fingerprint see the same bytes.
template <class Visit, class T>
void value(Visit& visit, T& x) {
  static_assert(std::is_trivially_copyable<T>::value, "carried state is copied as bytes");
  visit(static_cast<void*>(&x), sizeof x);
}

template <class Visit>
void walkCarriedState(Visit& v) {
  value(v, LightShafts::noiseClock);

  value(v, lanternState);

  value(v, lampParkState);

  value(v, mirrorHallState);

  value(v, triangleFractalState);

  value(v, spikeState);

  value(v, scrollerState);
}

}  // namespace

static_assert(std::is_trivially_copyable<DemoState>::value, "the fingerprint hashes its bytes");

void takeSceneSnapshot(const Demo& demo, SceneSnapshot& snapshot) {
  snapshot.state = demo.state;
  snapshot.bytes.clear();
  auto append = [&](void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    snapshot.bytes.insert(snapshot.bytes.end(), p, p + size);
  };
  walkCarriedState(append);
}

bool restoreSceneSnapshot(Demo& demo, const SceneSnapshot& snapshot) {
  // A snapshot of another set of loaded objects would not fit: leave all as is.
  size_t total = 0;
  auto measure = [&](void*, size_t size) { total += size; };
  walkCarriedState(measure);
  if (total != snapshot.bytes.size()) return false;
  size_t at = 0;
  auto copyBack = [&](void* data, size_t size) {
    std::memcpy(data, snapshot.bytes.data() + at, size);
    at += size;
  };
  walkCarriedState(copyBack);
  demo.state = snapshot.state;
  return true;
}

uint64_t sceneStateFingerprint(const Demo& demo) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  auto mix = [&](const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  };
  mix(&demo.state, sizeof demo.state);
  walkCarriedState(mix);
  return hash;
}
