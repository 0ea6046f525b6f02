#pragma once
// Convergence of Markov chains: the rank-normalised split potential scale reduction factor
// R-hat and the bulk and tail effective sample sizes of one quantity drawn by several chains.
// A chain is a vector of draws in order; all chains have the same length. Autocorrelations are
// found by FFT: O(N log N) in the draws N.

#include <vector>

namespace kvsorv::statistics {

struct Convergence {
  double rhat = 0;     // the larger of the bulk and the folded (tail) split R-hat
  double essBulk = 0;  // of the rank-normalised split chains
  double essTail = 0;  // the smaller of those of the 5 % and 95 % quantiles
};

// Each chain is split into halves (the middle draw of an odd length left out) and the draws
// rank-normalised over all chains: z = Phi^-1((r - 3/8) / (S + 1/4)) of their average ranks r
// among all S split draws. R-hat is the larger of the split R-hat of z and that of the
// rank-normalised |x - median| (z's alone when the latter are all the same). The tail ESS is
// the smaller of those of the indicators x <= q, q the 5 % and 95 % quantiles of all draws, on
// the split chains (one alone when the other's indicators are all the same).
// Failures: std::invalid_argument for no chains, chains of different lengths or fewer than 4
// draws each. Draws that are all the same, or a draw that is not finite, give NaN throughout;
// chains each constant at different values give an infinite R-hat.
Convergence Diagnose(const std::vector<std::vector<double>>& chains);

// The effective sample size of draws (chains of the same length), from their
// autocorrelations by Geyer's initial monotone sequence; no normalisation or splitting. The
// autocorrelation at lag t is 1 - (W - the chains' mean autocovariance at t) / var+, and the
// estimate is at most S log10 S of the S draws.
// Failures: std::invalid_argument for no chains, chains of different lengths or fewer than 2
// draws each. Draws that are all the same, or a draw that is not finite, give NaN.
double EffectiveSampleSize(const std::vector<std::vector<double>>& chains);

}  // namespace kvsorv::statistics
