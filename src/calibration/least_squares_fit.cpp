#include "calibration/least_squares_fit.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <cmath>
#include <exception>
#include <limits>
#include <nlopt.hpp>
#include <stdexcept>

#include "analysis/collinearity.h"
#include "calibration/bounded_jacobian.h"
#include "calibration/target.h"

namespace kvsorv::calibration {

namespace {

// J'J whose columns, scaled to unit length, have a reciprocal condition number below this is
// taken as singular: its inverse would be mostly the finite differences' rounding.
constexpr double kSingular = 1e-12;

void Check(const FitProblem& p, const FitSettings& s) {
  const std::size_t n = p.start.size();
  if (!p.residuals) throw std::invalid_argument("there is no function of the residuals");
  if (n == 0) throw std::invalid_argument("there are no parameters");
  if (p.lower.size() != n || p.upper.size() != n)
    throw std::invalid_argument("the bounds and the start differ in number");
  for (std::size_t j = 0; j < n; ++j) {
    const std::string which = "parameter " + std::to_string(j + 1);
    if (!std::isfinite(p.lower[j]) || !std::isfinite(p.upper[j]) || !(p.lower[j] < p.upper[j]))
      throw std::invalid_argument(which + "'s bounds are not finite numbers, lower below upper");
    if (!(p.lower[j] <= p.start[j] && p.start[j] <= p.upper[j]))
      throw std::invalid_argument(which + " starts outside its bounds");
  }
  if (!(s.relativeTolerance >= 0) || s.mostEvaluations < 1 || !(s.jacobianStep > 0) ||
      !std::isfinite(s.jacobianStep))
    throw std::invalid_argument(
        "the fit needs a tolerance of at least 0, an evaluation and a positive step");
}

// The objective at one point. A point of zero prior density is not run.
struct Point {
  double objective = std::numeric_limits<double>::infinity();
  std::vector<double> residuals;
  double sumOfSquares = 0;
  bool failed = false;  // the model could not be run, or gave a residual that is no number
};

Point Evaluate(const FitProblem& p, const std::vector<double>& x) {
  Point point;
  const double logPrior = p.logPrior ? p.logPrior(x) : 0;
  if (!(logPrior > kZeroDensity)) return point;
  std::optional<std::vector<double>> r = p.residuals(x);
  if (!r) {
    point.failed = true;
    return point;
  }
  for (const double v : *r) point.sumOfSquares += v * v;
  point.failed = !std::isfinite(point.sumOfSquares);
  if (!point.failed) point.objective = 0.5 * point.sumOfSquares - logPrior;
  point.residuals = std::move(*r);
  return point;
}

// The optimiser's view of the objective: the best point so far, the counts, and what the
// problem's functions raised (kept, as NLopt would turn it into a failure of its own).
struct Search {
  const FitProblem& problem;
  Point startPoint{};
  bool startTaken = false;
  // What a failed run or a point of zero prior density counts as: worse than the start, so
  // never the optimum, yet finite, as BOBYQA's quadratic models break down on infinities.
  double penalty = 0;
  std::vector<double> bestX{};
  Point best{};
  int evaluations = 0, failures = 0;
  std::exception_ptr error{};

  double operator()(const std::vector<double>& x) {
    Point p;
    if (!startTaken && x == problem.start) {
      startTaken = true;
      p = startPoint;
    } else {
      p = Evaluate(problem, x);
      ++evaluations;
      failures += p.failed ? 1 : 0;
    }
    const double objective = std::isfinite(p.objective) ? p.objective : penalty;
    if (p.objective < best.objective) {
      bestX = x;
      best = std::move(p);
    }
    return objective;
  }
};

double Minimised(const std::vector<double>& x, std::vector<double>& /*gradient*/, void* data) {
  auto& search = *static_cast<Search*>(data);
  try {
    return search(x);
  } catch (...) {
    search.error = std::current_exception();
    throw nlopt::forced_stop();
  }
}

std::string InWords(nlopt::result r) {
  switch (r) {
    case nlopt::SUCCESS:
      return "converged";
    case nlopt::STOPVAL_REACHED:
      return "the objective reached the value to stop at";
    case nlopt::FTOL_REACHED:
      return "the objective changed by less than its tolerance";
    case nlopt::XTOL_REACHED:
      return "the parameters changed by less than the relative tolerance";
    case nlopt::MAXEVAL_REACHED:
      return "the most evaluations were used";
    case nlopt::MAXTIME_REACHED:
      return "the time allowed was used";
    default:
      return "stopped (" + std::to_string(static_cast<int>(r)) + ")";
  }
}

// Runs BOBYQA from the start, leaving the best point in `search`; the stop reason in words.
std::string Optimise(const FitProblem& problem, const FitSettings& settings, Search& search) {
  nlopt::opt optimiser(nlopt::LN_BOBYQA, static_cast<unsigned>(problem.start.size()));
  optimiser.set_lower_bounds(problem.lower);
  optimiser.set_upper_bounds(problem.upper);
  optimiser.set_min_objective(Minimised, &search);
  optimiser.set_xtol_rel(settings.relativeTolerance);
  optimiser.set_maxeval(settings.mostEvaluations);
  std::vector<double> x = problem.start;
  double objective = 0;
  try {
    return InWords(optimiser.optimize(x, objective));
  } catch (const nlopt::roundoff_limited&) {
    return "rounding errors stopped the progress";
  } catch (const nlopt::forced_stop&) {
    if (search.error) std::rethrow_exception(search.error);
    throw;
  } catch (const std::runtime_error& e) {
    return std::string("the optimiser failed: ") + e.what();
  }
}

// The covariance (J'J)^-1, the standard errors and the correlations, from J'J with its columns
// scaled to unit length (so that the test of singularity does not depend on the parameters'
// units), or a note when it is singular.
void Covariance(const std::vector<std::vector<double>>& columns, FitResult& r) {
  const auto n = static_cast<Eigen::Index>(columns.size());
  const auto m = static_cast<Eigen::Index>(columns[0].size());
  Eigen::MatrixXd j(m, n);
  for (Eigen::Index c = 0; c < n; ++c)
    for (Eigen::Index i = 0; i < m; ++i) j(i, c) = columns[c][i];
  if (!j.allFinite()) {
    r.notes.push_back("without every derivative there is no covariance");
    return;
  }
  const Eigen::MatrixXd gram = j.transpose() * j;
  const Eigen::VectorXd scale = gram.diagonal().cwiseSqrt();
  const Eigen::LLT<Eigen::MatrixXd> factor(
      (scale.cwiseInverse().asDiagonal() * gram * scale.cwiseInverse().asDiagonal()).eval());
  if (!scale.allFinite() || scale.minCoeff() == 0 || factor.info() != Eigen::Success ||
      !(factor.rcond() >= kSingular)) {
    r.notes.push_back(
        "J'J is singular: the residuals cannot tell the parameters' effects apart, so there "
        "is no covariance");
    return;
  }
  const Eigen::MatrixXd unit = factor.solve(Eigen::MatrixXd::Identity(n, n));
  const Eigen::MatrixXd covariance =
      scale.cwiseInverse().asDiagonal() * unit * scale.cwiseInverse().asDiagonal();
  r.covariance.assign(columns.size(), std::vector<double>(columns.size()));
  r.correlation = r.covariance;
  r.standardErrors.resize(columns.size());
  for (Eigen::Index a = 0; a < n; ++a) {
    r.standardErrors[a] = std::sqrt(covariance(a, a));
    for (Eigen::Index b = 0; b < n; ++b) {
      r.covariance[a][b] = covariance(a, b);
      r.correlation[a][b] = unit(a, b) / std::sqrt(unit(a, a) * unit(b, b));
    }
  }
}

}  // namespace

FitResult FitLeastSquares(const FitProblem& problem, const FitSettings& settings) {
  Check(problem, settings);
  if (problem.logPrior && !(problem.logPrior(problem.start) > kZeroDensity))
    throw std::invalid_argument("the start has zero prior density");
  Search search{.problem = problem};
  search.startPoint = Evaluate(problem, problem.start);
  search.evaluations = 1;
  if (search.startPoint.failed) throw std::runtime_error("the model could not be run at the start");
  search.bestX = problem.start;
  search.best = search.startPoint;
  search.penalty = 1e10 * (1 + std::abs(search.startPoint.objective));

  FitResult r;
  r.stopReason = Optimise(problem, settings, search);
  r.x = search.bestX;
  r.objective = search.best.objective;
  r.sumOfSquares = search.best.sumOfSquares;
  r.residuals = search.best.residuals;

  BoundedJacobian jacobian =
      JacobianWithinBounds(problem.residuals, r.x, r.residuals, problem.lower, problem.upper,
                           settings.jacobianStep, settings.threads);
  r.evaluations = search.evaluations + jacobian.evaluations;
  r.failures = search.failures + jacobian.failures;
  r.notes = std::move(jacobian.notes);
  if (r.residuals.empty()) {
    r.notes.push_back("there are no residuals: no covariance");
  } else {
    Covariance(jacobian.columns, r);
  }
  r.collinearity = analysis::CollinearityIndex(jacobian.columns);
  return r;
}

}  // namespace kvsorv::calibration
