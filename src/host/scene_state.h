// Every value the frames carry from one to the next: the demo's state and,
// for the scenes that still keep theirs in their own objects, those
// objects' clocks, cameras, state machines and world objects, the lights'
// flare and noise clock. Caches of what GL holds (a blur a texture already
// has) and per-frame scratch are not part of it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/demo_state.h"

struct Demo;

// A copy of that state, to go back to.
struct SceneSnapshot {
  DemoState state;
  std::vector<unsigned char> bytes;  // the scenes that keep their own state
};

// Copies the state as it is now (after loading: the state of time 0).
void takeSceneSnapshot(const Demo& demo, SceneSnapshot& snapshot);
// Puts a copy back; the objects themselves stay where they are. False (and
// nothing changed) when the snapshot is not of this program's objects.
bool restoreSceneSnapshot(Demo& demo, const SceneSnapshot& snapshot);
// A 64-bit hash of the state: equal states give equal values.
uint64_t sceneStateFingerprint(const Demo& demo);
