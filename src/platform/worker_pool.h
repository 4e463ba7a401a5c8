// One set of helper threads for a frame's CPU work (the ray grid's tracing,
// the software path's passes), started once and kept: a thread made per
// frame starts late and costs more than the rows it takes.
#pragma once

#include <functional>

// Runs task(0) .. task(count - 1), the calling thread taking part, and
// returns once all have finished. Tasks may run in any order and at once;
// with no helper to be had (none could be started) they run one after the
// other here. Not reentrant: a task must not call it again.
void runOnWorkers(int count, const std::function<void(int)>& task);

// Runs `here` on the calling thread (the one whose GL context is current)
// while the helpers run task(0) .. task(count - 1), which the calling thread
// joins in once `here` is done; returns when all have finished. With no
// helper, the tasks run here first. None may call runOnWorkers.
void runBeside(const std::function<void()>& here, int count,
               const std::function<void(int)>& task);
