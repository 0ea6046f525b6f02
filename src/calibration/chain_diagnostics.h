#pragma once
// What a chains file says of its calibration: per sampled quantity the posterior's summary
// and the rank-normalised split R-hat and bulk and tail effective sample sizes of the draws
// after the burn-in (every thinning-th generation), the acceptance rate and the share of
// failed runs, and a verdict: converged or not, and how many more generations would do.

#include <cstddef>
#include <string>
#include <vector>

#include "calibration/chains_file.h"
#include "statistics/convergence.h"

namespace kvsorv::calibration {

struct ConvergenceLimits {
  double rhat = 1.01;  // R-hat below this
  double ess = 400;    // bulk and tail ESS above this
};

struct QuantitySummary {
  std::string name;
  double mean = 0, sd = 0, q025 = 0, median = 0, q975 = 0;
  statistics::Convergence convergence;
};

struct ChainsDiagnostics {
  std::size_t generations = 0;      // in the file
  std::size_t keptGenerations = 0;  // after the burn-in, thinned
  std::size_t draws = 0;            // kept generations x chains
  double acceptance = 0;            // of all proposals in the file
  double failedFraction = 0;        // of all proposals whose run failed
  std::vector<QuantitySummary> quantities;
  bool converged = false;
  std::size_t moreGenerations = 0;  // the ESS's estimate of what is still needed
  std::string advice;               // what to do when not converged
};

ChainsDiagnostics DiagnoseChains(const ChainsContents& chains, const ConvergenceLimits& limits);

// The report `calibrate status` prints: a line of counts, a table of the quantities, the
// verdict.
std::string DiagnosticsReport(const std::string& fileName, const ChainsContents& chains,
                              const ChainsDiagnostics& d, const ConvergenceLimits& limits);

}  // namespace kvsorv::calibration
