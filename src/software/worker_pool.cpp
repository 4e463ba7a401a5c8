#include "software/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// The passes split in two or a handful of parts; more helpers than cores
// would only take turns.
constexpr unsigned kMaxHelpers = 7;

struct Pool {
  std::mutex mutex;
  std::condition_variable wake, done;
  const std::function<void(int)>* task = nullptr;
  int count = 0;
  std::atomic<int> next{0};
  int running = 0;       // helpers inside the current job
  unsigned job = 0;      // bumped per job, so a helper joins each once
  int helpers = 0;
};

// Takes tasks until none are left.
void takeTasks(Pool& pool, const std::function<void(int)>& task, int count) {
  for (int k = pool.next.fetch_add(1); k < count; k = pool.next.fetch_add(1)) task(k);
}

void helperLoop(Pool& pool) {
  unsigned seen = 0;
  std::unique_lock<std::mutex> lock(pool.mutex);
  for (;;) {
    pool.wake.wait(lock, [&] { return pool.job != seen; });
    seen = pool.job;
    const std::function<void(int)>* task = pool.task;
    if (!task) continue;  // woke after the job was over
    const int count = pool.count;
    ++pool.running;
    lock.unlock();
    takeTasks(pool, *task, count);
    lock.lock();
    if (--pool.running == 0) pool.done.notify_one();
  }
}

// Started on first use; the helpers live as long as the process.
Pool& pool() {
  static Pool* p = [] {
    Pool* made = new Pool;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned k = 0; k < std::min(cores - 1, kMaxHelpers); ++k) {
      try {
        std::thread(helperLoop, std::ref(*made)).detach();
        ++made->helpers;
      } catch (const std::system_error&) {
        break;  // fewer helpers; the caller still does the work
      }
    }
    return made;
  }();
  return *p;
}

}  // namespace

void runOnWorkers(int count, const std::function<void(int)>& task) {
  if (count <= 0) return;
  Pool& p = pool();
  if (count == 1 || p.helpers == 0) {
    for (int k = 0; k < count; ++k) task(k);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(p.mutex);
    p.task = &task;
    p.count = count;
    p.next = 0;
    ++p.job;
  }
  p.wake.notify_all();
  takeTasks(p, task, count);
  // Helpers that woke late find no task left and leave at once; wait for
  // those still running one.
  std::unique_lock<std::mutex> lock(p.mutex);
  p.done.wait(lock, [&] { return p.running == 0 && p.next.load() >= count; });
  p.task = nullptr;
}
