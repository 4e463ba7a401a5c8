#include "platform/worker_pool.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// The passes split in two or a handful of parts; more helpers than cores
// would only take turns.
constexpr unsigned kMaxHelpers = 7;

// The job in hand: tasks [next, count) are yet to be taken and `unfinished`
// have yet to return. Tasks are few and long, so taking one under the lock
// costs nothing that shows.
struct Pool {
  std::mutex mutex;
  std::condition_variable wake, done;
  const std::function<void(int)>* task = nullptr;
  int count = 0, next = 0, unfinished = 0;
  int helpers = 0;
};

// Runs the job's tasks until none are left to take; `lock` is held on entry
// and on return.
void takeTasks(Pool& pool, std::unique_lock<std::mutex>& lock) {
  while (pool.next < pool.count) {
    const int k = pool.next++;
    lock.unlock();
    (*pool.task)(k);
    lock.lock();
    if (--pool.unfinished == 0) pool.done.notify_one();
  }
}

void helperLoop(Pool& pool) {
  std::unique_lock<std::mutex> lock(pool.mutex);
  for (;;) {
    pool.wake.wait(lock, [&] { return pool.next < pool.count; });
    takeTasks(pool, lock);
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

// Hands the helpers a job; `lock` is held.
void postJob(Pool& pool, const std::function<void(int)>& task, int count) {
  pool.task = &task;
  pool.count = count;
  pool.unfinished = count;
  pool.next = 0;
  pool.wake.notify_all();
}

// Takes what is left of the job and waits for the rest; `lock` is held.
void finishJob(Pool& pool, std::unique_lock<std::mutex>& lock) {
  takeTasks(pool, lock);
  pool.done.wait(lock, [&] { return pool.unfinished == 0; });
}

}  // namespace

void runOnWorkers(int count, const std::function<void(int)>& task) {
  if (count <= 0) return;
  Pool& p = pool();
  if (count == 1 || p.helpers == 0) {
    for (int k = 0; k < count; ++k) task(k);
    return;
  }
  std::unique_lock<std::mutex> lock(p.mutex);
  postJob(p, task, count);
  finishJob(p, lock);
}

void runBeside(const std::function<void()>& here, int count,
               const std::function<void(int)>& task) {
  Pool& p = pool();
  if (count <= 0 || p.helpers == 0) {
    for (int k = 0; k < count; ++k) task(k);
    here();
    return;
  }
  std::unique_lock<std::mutex> lock(p.mutex);
  postJob(p, task, count);
  lock.unlock();
  // The tasks may still be running on the helpers: wait for them even when
  // `here` throws.
  try {
    here();
  } catch (...) {
    lock.lock();
    finishJob(p, lock);
    throw;
  }
  lock.lock();
  finishJob(p, lock);
}
