// The worker pool of the browser build. The page is served as plain static
// files, without the cross-origin isolation shared-memory threads need, so
// the tasks run one after the other on the page's thread.
#include "platform/worker_pool.h"

void runOnWorkers(int count, const std::function<void(int)>& task) {
  for (int k = 0; k < count; ++k) task(k);
}

void runBeside(const std::function<void()>& here, int count, const std::function<void(int)>& task) {
  for (int k = 0; k < count; ++k) task(k);
  here();
}
