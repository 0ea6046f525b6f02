#pragma once
// Adaptive Metropolis: each chain is a random-walk Metropolis chain whose Gaussian proposal
// takes, after an initial period, the covariance of the chain's own past scaled by
// 2.4^2 / d (plus a small multiple of the identity to keep it positive definite). The chains
// are independent and run side by side.

#include <cstdint>
#include <memory>
#include <vector>

#include "calibration/target.h"

namespace kvsorv::calibration {

struct AdaptiveMetropolisSettings {
  std::uint64_t seed = 0;
  // Per parameter, the proposal's standard deviation before adaptation starts.
  std::vector<double> initialSpread;
  int adaptAfter = 100;    // generations with the initial proposal
  double epsilon = 1e-10;  // relative to the squared initial spread, added to the diagonal
};

// `start`: the chains' first states, already evaluated; they count among the chains' past.
// Should an adapted covariance not be positive definite to working precision, that chain's
// generation proposes with the initial one. A chain's random numbers in a generation depend on
// the seed, the generation's number and the chain's alone. Failures: std::invalid_argument for
// no chains, points or an initial spread of the wrong length, a spread not finite and above 0,
// or a negative adaptAfter or epsilon.
std::unique_ptr<Sampler> MakeAdaptiveMetropolisSampler(AdaptiveMetropolisSettings settings,
                                                       std::vector<ChainState> start);

}  // namespace kvsorv::calibration
