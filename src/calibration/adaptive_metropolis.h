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

// Failures: std::invalid_argument for no chains or points of the wrong length.
std::unique_ptr<Sampler> MakeAdaptiveMetropolisSampler(AdaptiveMetropolisSettings settings,
                                                       std::vector<ChainState> start);

}  // namespace kvsorv::calibration
