// The shared pool of worker threads: every index once on at most the threads asked for, the
// first failure after all have stopped, threads kept from one loop to the next, and nested or
// concurrent loops that never wait on each other.

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tasks/worker_pool.h"

namespace kvsorv::tasks {
namespace {

TEST(ParallelFor, AnyCountAndThreads_RunEveryIndexOnceOnAtMostThoseThreads) {
  struct Case {
    std::size_t n, threads;
  };
  const Case cases[] = {{.n = 0, .threads = 4},   {.n = 1, .threads = 4},
                        {.n = 100, .threads = 0}, {.n = 100, .threads = 1},
                        {.n = 100, .threads = 3}, {.n = 5, .threads = 16}};
  for (const Case& c : cases) {
    std::vector<std::atomic<int>> runs(c.n);
    std::mutex guard;
    std::set<std::thread::id> threads;
    ParallelFor(c.n, c.threads, [&](std::size_t i) {
      ++runs[i];
      const std::lock_guard lock(guard);
      threads.insert(std::this_thread::get_id());
    });
    for (std::size_t i = 0; i < c.n; ++i)
      EXPECT_EQ(runs[i], 1) << c.n << " " << c.threads << " " << i;
    EXPECT_LE(threads.size(), std::max<std::size_t>(c.threads, 1)) << c.n << " " << c.threads;
  }
}

TEST(ParallelFor, ABodyThrows_TheFirstErrorComesOnceEveryThreadHasStopped) {
  std::atomic<int> running{0};
  try {
    ParallelFor(1000, 3, [&](std::size_t i) {
      ++running;
      if (i == 5) {
        --running;
        throw std::runtime_error("index 5");
      }
      std::this_thread::yield();
      --running;
    });
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "index 5");
    EXPECT_EQ(running, 0);
  }
}

// Loops one after another start no thread once the first has: the barrier has every index
// of a loop on a thread of its own, so each loop really runs on all the threads it asks for.
TEST(ParallelFor, LoopsAfterTheFirst_StartNoThread) {
  constexpr std::size_t kThreads = 3;
  std::barrier together(kThreads);
  const auto loop = [&] {
    ParallelFor(kThreads, kThreads, [&](std::size_t) { together.arrive_and_wait(); });
  };
  loop();
  const std::size_t started = PoolThreads();
  EXPECT_GE(started, kThreads - 1);
  for (int i = 0; i < 20; ++i) loop();
  EXPECT_EQ(PoolThreads(), started);
}

// A loop inside a loop's body runs on that body's thread, however many threads it asks for;
// loops started from several threads at once each finish.
TEST(ParallelFor, NestedAndConcurrentLoops_AllFinish) {
  std::atomic<int> inner{0}, away{0};
  const auto outer = [&] {
    ParallelFor(8, 2, [&](std::size_t) {
      const std::thread::id mine = std::this_thread::get_id();
      ParallelFor(10, 4, [&](std::size_t) {
        ++inner;
        if (std::this_thread::get_id() != mine) ++away;
      });
    });
  };
  std::thread a(outer), b(outer);
  outer();
  a.join();
  b.join();
  EXPECT_EQ(inner, 3 * 8 * 10);
  EXPECT_EQ(away, 0);
}

}  // namespace
}  // namespace kvsorv::tasks
