#pragma once
// The analyses' loops over series, spread over the cores.

#include <cstddef>
#include <functional>

namespace kvsorv::analysis {

// Runs body(i) for i in [0, n) on every core (at most a few threads); the first exception is
// raised again once all have stopped.
void ParallelFor(std::size_t n, const std::function<void(std::size_t)>& body);

}  // namespace kvsorv::analysis
