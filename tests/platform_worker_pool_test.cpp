#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "software/texture_copies.h"

// Every task runs exactly once per call, call after call on the same
// threads, and the call returns only once all have finished.
TEST(SoftwareWorkerPool, RunsEachTaskOnceAndWaitsForAll) {
  for (int round = 0; round < 2000; ++round) {
    const int count = 1 + round % 9;
    std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
    for (auto& r : runs) r = 0;
    runOnWorkers(count, [&](int k) { runs[size_t(k)].fetch_add(1); });
    for (int k = 0; k < count; ++k) ASSERT_EQ(runs[size_t(k)].load(), 1) << round << " " << k;
  }
}

// The loader's GL work stays on its own thread while the tasks run beside
// it; every task runs once, and the pool serves the next call as before.
TEST(SoftwareWorkerPool, RunsBesideTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  for (int round = 0; round < 500; ++round) {
    const int count = round % 6;
    std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
    for (auto& r : runs) r = 0;
    std::thread::id hereRanOn;
    runBeside([&] { hereRanOn = std::this_thread::get_id(); }, count,
              [&](int k) { runs[size_t(k)].fetch_add(1); });
    ASSERT_EQ(hereRanOn, caller);
    for (int k = 0; k < count; ++k) ASSERT_EQ(runs[size_t(k)].load(), 1) << round << " " << k;
    std::atomic<int> after{0};
    runOnWorkers(3, [&](int) { after.fetch_add(1); });
    ASSERT_EQ(after.load(), 3);
  }
}

// RGB uploads read with alpha 255 as GL samples them; a new copy of a name
// replaces the old one.
TEST(SoftwareTextureCopies, KeepWhatWasUploaded) {
  TextureCopies copies;
  const uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
  keepTextureCopy(copies, 77, 2, 1, 3, rgb);
  const TextureCopy* copy = textureCopy(copies, 77);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rgba, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
  const uint8_t rgba[4] = {9, 8, 7, 0};
  keepTextureCopy(copies, 77, 1, 1, 4, rgba);
  EXPECT_EQ(textureCopy(copies, 77)->rgba, (std::vector<uint8_t>{9, 8, 7, 0}));
  EXPECT_EQ(textureCopy(copies, 78), nullptr);
}
