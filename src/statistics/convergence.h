#pragma once
// Convergence of Markov chains: the rank-normalised split potential scale reduction factor
// R-hat and the bulk and tail effective sample sizes of one quantity drawn by several chains.
// A chain is a vector of draws in order; all chains have the same length.

#include <vector>

namespace kvsorv::statistics {

struct Convergence {
  double rhat = 0;     // the larger of the bulk and the folded (tail) split R-hat
  double essBulk = 0;  // of the rank-normalised split chains
  double essTail = 0;  // the smaller of those of the 5 % and 95 % quantiles
};

// Failures: std::invalid_argument for no chains, chains of different lengths or fewer than 4
// draws each. Chains that are constant give NaN.
Convergence Diagnose(const std::vector<std::vector<double>>& chains);

// The effective sample size of draws (chains of the same length), from their
// autocorrelations by Geyer's initial monotone sequence; no normalisation or splitting.
double EffectiveSampleSize(const std::vector<std::vector<double>>& chains);

}  // namespace kvsorv::statistics
