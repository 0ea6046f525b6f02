#pragma once
// The result of a fit in a small netCDF file beside the chains files: the optimum, the
// parameters' covariance, standard errors and correlations, the collinearity index, the
// objective and how the optimiser stopped. A sampler can start its chains around it.

#include <cstdint>
#include <string>
#include <vector>

#include "calibration/least_squares_fit.h"

namespace kvsorv::calibration {

struct FitFileContents {
  std::vector<std::string> names;
  std::vector<double> optimum;
  std::vector<std::vector<double>> covariance;  // empty when J'J was singular
  std::vector<double> standardErrors;
  double objective = 0, sumOfSquares = 0, collinearity = 0;
  int evaluations = 0, failures = 0, observations = 0;
  std::string stopReason;
  std::uint64_t planHash = 0;
};

FitFileContents FitContents(const std::vector<std::string>& names, const FitResult& fit,
                            std::uint64_t planHash);

// Failures: EChainsError naming the file.
void WriteFitFile(const std::string& fileName, const FitFileContents& fit,
                  const std::string& version);
FitFileContents ReadFitFile(const std::string& fileName);

}  // namespace kvsorv::calibration
