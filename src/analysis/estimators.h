#pragma once
// Sensitivity and uncertainty estimators on ensemble outputs: Sobol indices from a
// cross-sampled design, Morris elementary effects from trajectories, and the envelope of an
// output across members. Failed members are NaN and are left out where a statistic allows.

#include <cstdint>
#include <vector>

namespace kvsorv::analysis {

struct SobolIndices {
  std::vector<double> first;                // S_i (Saltelli 2010)
  std::vector<double> total;                // ST_i (Jansen)
  std::vector<double> firstLow, firstHigh;  // bootstrap confidence interval of S_i
  std::vector<double> totalLow, totalHigh;  // and of ST_i
  int usedBasePoints = 0;                   // base points whose k + 2 outputs were all finite
};

// Indices of k inputs from outputs laid out as the Sobol design writes them: for each base
// point the rows A, AB_1 .. AB_k, B. A base point with any NaN output is left out.
// `confidence` (e.g. 0.95) from `bootstrap` resamples of the base points, seeded.
// Raises std::invalid_argument when the outputs do not fill whole base points or fewer than
// two base points remain.
SobolIndices SobolFromCrossSample(const std::vector<double>& outputs, int k, int bootstrap = 200,
                                  double confidence = 0.95, std::uint64_t seed = 1);

struct MorrisEffects {
  std::vector<double> mu;      // mean elementary effect
  std::vector<double> muStar;  // mean absolute elementary effect
  std::vector<double> sigma;   // standard deviation of the elementary effects
  std::vector<int> effects;    // how many finite effects each input had
};

// Elementary effects from trajectories of k + 1 design rows (`design`: rows of k inputs)
// and their outputs: each step changes one input, and its effect is the change of the output
// divided by that input's change scaled to `ranges` (the input's spread, so effects of inputs
// in different units compare). Steps with a NaN output are left out.
MorrisEffects MorrisFromTrajectories(const std::vector<std::vector<double>>& design,
                                     const std::vector<double>& outputs,
                                     const std::vector<double>& ranges);

struct Envelope {
  double mean = 0, sd = 0, min = 0, max = 0;
  double q05 = 0, q25 = 0, q50 = 0, q75 = 0, q95 = 0;
  int members = 0;  // finite values the statistics are of
};

// The envelope of finite values (linear interpolation between order statistics for the
// quantiles). All NaN when no value is finite.
Envelope EnvelopeOf(std::vector<double> values);

}  // namespace kvsorv::analysis
