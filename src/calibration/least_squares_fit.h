#pragma once
// The mode of a posterior with Gaussian errors: the parameters within bounds that minimise
// half the sum of squared weighted residuals minus the log prior, found by a derivative-free
// bounded optimiser; then the parameters' covariance, correlations and standard errors from
// the Jacobian of the residuals at the optimum, and the collinearity index of its columns.
// The optimiser is NLopt's BOBYQA. A point whose run failed, or of zero prior density, counts as
// 1e10 (1 + |objective at the start|): worse than the start, so never the optimum, yet finite,
// as the optimiser's quadratic models break down on infinities.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv::calibration {

struct FitProblem {
  // The weighted residuals (model - observation) / error at x, as many at every x; nullopt
  // when the model could not be run there (a residual that is not a finite number counts the
  // same). Not called at points of zero prior density. Called from several threads at once
  // while the Jacobian is formed.
  std::function<std::optional<std::vector<double>>(const std::vector<double>&)> residuals;
  // The log prior density at x (kZeroDensity outside its support); empty for a flat prior.
  std::function<double(const std::vector<double>&)> logPrior;
  std::vector<double> lower, upper, start;  // finite bounds, lower below upper
};

struct FitSettings {
  double relativeTolerance = 1e-10;  // of the parameters, to stop; 0 for none
  int mostEvaluations = 20000;       // of the objective by the optimiser, the start's included
  // Relative central-difference step: |x| times this (the bounds' width times this at x = 0),
  // at most a quarter of the width. Where x +- step leaves the bounds, the one-sided
  // three-point formula steps inward.
  double jacobianStep = 1e-6;
  std::size_t threads = 1;  // the Jacobian's columns side by side; the result is the same
};

struct FitResult {
  std::vector<double> x;
  double objective = 0;     // 0.5 * sum of squares - log prior at x
  double sumOfSquares = 0;  // of the weighted residuals
  std::vector<double> residuals;
  int evaluations = 0;     // of the objective, then of the residuals for the Jacobian
  int failures = 0;        // evaluations where the model could not be run
  std::string stopReason;  // the optimiser's, in words
  // (J'J)^-1 of the weighted residuals' Jacobian J: the covariance with the given errors;
  // empty with a note when J'J is singular (a reciprocal condition number below 1e-12 once
  // its columns are scaled to unit length) or a column of J could not be formed. The
  // correlations and standard errors come with it.
  std::vector<std::vector<double>> covariance;
  std::vector<std::vector<double>> correlation;
  std::vector<double> standardErrors;
  double collinearity = 0;  // of all J's columns together; +infinity for one not formed
  std::vector<std::string> notes;
};

// Failures: std::invalid_argument for bounds, start or sizes that do not agree, or a start
// outside the bounds or of zero prior density, or settings out of range (a negative tolerance,
// no evaluations, a step that is not positive); std::runtime_error when the start itself
// cannot be run, or the residuals change in number beside the optimum. What the problem's
// functions raise is raised again.
FitResult FitLeastSquares(const FitProblem& problem, const FitSettings& settings);

}  // namespace kvsorv::calibration
