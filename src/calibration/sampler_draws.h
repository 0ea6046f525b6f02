#pragma once
// The random draws the samplers make, from the project's seeded engines alone so that a
// chain is the same on every platform: a standard normal deviate and distinct positions in
// the archive of past samples.

#include <cstddef>
#include <cstdint>

#include "ensemble/seeded_random.h"

namespace kvsorv::calibration {

// A standard normal deviate: the normal quantile of one uniform draw.
double StandardNormal(ensemble::SeededEngine& g);

// `k` distinct positions in [0, n), n >= k, uniformly among all ordered choices, into `out`.
// Makes exactly k bounded draws, whatever they give, so that a chain's later draws do not
// depend on them.
void DistinctIndices(ensemble::SeededEngine& g, std::size_t n, std::size_t k, std::size_t* out);

}  // namespace kvsorv::calibration
