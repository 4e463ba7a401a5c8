// Every value the frames carry from one to the next: the director's
// counters, the scenes' clocks, cameras, paths, state machines and world
// objects, the lights' flare and noise clock, the shared random generator.
// Caches of what GL holds (a blur a texture already has) and per-frame
// scratch are not part of it.
#pragma once

#include <cstdint>
#include <vector>

// A copy of that state, to go back to.
struct SceneSnapshot {
  std::vector<unsigned char> bytes;
};

// Copies the state as it is now (after loading: the state of time 0).
void takeSceneSnapshot(SceneSnapshot& snapshot);
// Puts a copy back; the objects themselves stay where they are. False (and
// nothing changed) when the snapshot is not of this program's objects.
bool restoreSceneSnapshot(const SceneSnapshot& snapshot);
// A 64-bit hash of the state: equal states give equal values.
uint64_t sceneStateFingerprint();
