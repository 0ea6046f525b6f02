#pragma once
// Differential-evolution Markov chain Monte Carlo with a past-sample archive and the snooker
// update (DE-MCzs): each chain proposes a jump along the difference of two past samples drawn
// from the archive, or, at the snooker probability, a jump along the line through its state
// and a third past sample. Proposals use the archive only, never another chain's current
// state, so the chains of a generation are independent given the archive and run side by
// side. Every `archiveEvery` generations the chains' states join the archive.

#include <cstdint>
#include <memory>
#include <vector>

#include "calibration/target.h"

namespace kvsorv::calibration {

struct DezsSettings {
  std::uint64_t seed = 0;
  int archiveEvery = 10;             // generations between additions to the archive
  double snookerProbability = 0.1;   // of a snooker update rather than a parallel one
  double fullJumpProbability = 0.1;  // of gamma = 1 in a parallel update, to jump modes
  // Per parameter, a typical spread (the prior's); the small random walk added to a parallel
  // update has standard deviation noise * scale.
  std::vector<double> scale;
  double noise = 1e-6;
};

// `archive`: the initial past samples (at least 3 points, each of the parameters' length,
// usually 10 per parameter drawn from the prior); `start`: the chains' first states, already
// evaluated. A chain's random numbers in a generation depend on the seed, the generation's
// number and the chain's alone. Failures: std::invalid_argument for an archive too small, no
// chains, points or a scale of the wrong length, archiveEvery below 1, or probabilities
// outside [0, 1].
std::unique_ptr<Sampler> MakeDezsSampler(DezsSettings settings,
                                         std::vector<std::vector<double>> archive,
                                         std::vector<ChainState> start);

}  // namespace kvsorv::calibration
