#pragma once
// The mode of a posterior with Gaussian errors: the parameters within bounds that minimise
// half the sum of squared weighted residuals minus the log prior, found by a derivative-free
// bounded optimiser; then the parameters' covariance, correlations and standard errors from
// the Jacobian of the residuals at the optimum, and the collinearity index of its columns.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv::calibration {

struct FitProblem {
  // The weighted residuals (model - observation) / error at x; nullopt when the model could
  // not be run there (the objective is then taken as infinite). Called from several threads
  // at once while the Jacobian is formed.
  std::function<std::optional<std::vector<double>>(const std::vector<double>&)> residuals;
  // The log prior density at x (kZeroDensity outside its support); empty for a flat prior.
  std::function<double(const std::vector<double>&)> logPrior;
  std::vector<double> lower, upper, start;
};

struct FitSettings {
  double relativeTolerance = 1e-10;  // of the parameters, to stop
  int mostEvaluations = 20000;
  double jacobianStep = 1e-6;  // relative central-difference step
  std::size_t threads = 1;     // the Jacobian's columns side by side
};

struct FitResult {
  std::vector<double> x;
  double objective = 0;     // 0.5 * sum of squares - log prior at x
  double sumOfSquares = 0;  // of the weighted residuals
  std::vector<double> residuals;
  int evaluations = 0;
  int failures = 0;        // evaluations where the model could not be run
  std::string stopReason;  // the optimiser's, in words
  // (J'J)^-1 of the weighted residuals' Jacobian J: the covariance with the given errors;
  // empty with a note when J'J is singular.
  std::vector<std::vector<double>> covariance;
  std::vector<std::vector<double>> correlation;
  std::vector<double> standardErrors;
  double collinearity = 0;  // of all parameters together
  std::vector<std::string> notes;
};

// Failures: std::invalid_argument for bounds, start or sizes that do not agree, or a start
// outside the bounds or of zero prior density; std::runtime_error when the start itself
// cannot be run.
FitResult FitLeastSquares(const FitProblem& problem, const FitSettings& settings);

}  // namespace kvsorv::calibration
