#pragma once
// One pool of worker threads for the whole program, shared by ensemble runs and analyses:
// threads are started when first needed and kept for later work, so that a parallel loop
// costs no thread start.

#include <cstddef>
#include <functional>

namespace kvsorv::tasks {

// This machine's hardware threads, at least 1.
std::size_t HardwareThreads();

// Runs body(i) once for every i in [0, n) on at most `threads` threads (0 counts as 1): the
// caller's and as many of the pool's as are needed (the pool grows when they are all busy).
// Indices are handed out one at a time in rising order to whichever thread is free. Once a
// body throws, no further index starts, and the first exception is thrown again once every
// thread has stopped. A ParallelFor inside the body of another runs on the body's thread
// alone, one index after another, so that nested use never waits for a worker. Calls from
// several threads at once are safe.
void ParallelFor(std::size_t n, std::size_t threads, const std::function<void(std::size_t)>& body);

// The threads the pool has started so far (they are kept until the program ends).
std::size_t PoolThreads();

}  // namespace kvsorv::tasks
