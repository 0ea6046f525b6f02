#pragma once
// Seeded random numbers that are the same on every compiler, standard library and machine.
// The engine is std::mt19937_64, whose output the C++ standard fixes exactly; everything
// drawn from it (uniform reals, bounded integers, permutations) is written out here, because
// the standard library's distributions and std::shuffle may differ from one library to the
// next. A design or a bootstrap is then a function of its seed alone.

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace kvsorv::ensemble {

using SeededEngine = std::mt19937_64;

// An engine for one purpose (`stream`) and one index (a member, a column, a trajectory),
// seeded from the master seed by SplitMix64 mixing, so that streams never share a sequence.
SeededEngine StreamEngine(std::uint64_t seed, std::uint64_t stream, std::uint64_t index);

// A uniform real in (0, 1): 53 random bits, never 0 or 1.
inline double Uniform01(SeededEngine& g) {
  return (static_cast<double>(g() >> 11) + 0.5) * 0x1.0p-53;
}

// A uniform integer in [0, n), n >= 1, without bias: draws outside the largest multiple of n
// below 2^64 are rejected and drawn again.
inline std::uint64_t UniformIndex(SeededEngine& g, std::uint64_t n) {
  const std::uint64_t rejected = (UINT64_MAX % n + 1) % n;  // 2^64 mod n
  for (;;) {
    const std::uint64_t x = g();
    if (x <= UINT64_MAX - rejected) return x % n;
  }
}

// Fisher–Yates: position i, from the last down to the second, swaps with a uniform position
// in [0, i].
template <typename T>
void Shuffle(std::vector<T>& values, SeededEngine& g) {
  for (std::size_t i = values.size(); i > 1; --i)
    std::swap(values[i - 1], values[UniformIndex(g, i)]);
}

}  // namespace kvsorv::ensemble
