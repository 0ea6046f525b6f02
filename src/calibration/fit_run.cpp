#include "calibration/fit_run.h"

#include <cmath>

#include "calibration/prior.h"

namespace kvsorv::calibration {

std::pair<double, double> FitBounds(const ensemble::Distribution& prior) {
  constexpr double kTail = 1e-9;
  if (const auto* u = std::get_if<ensemble::Uniform>(&prior)) return {u->min, u->max};
  if (const auto* t = std::get_if<ensemble::Triangular>(&prior)) return {t->min, t->max};
  if (const auto* t = std::get_if<ensemble::TruncatedNormal>(&prior)) return {t->min, t->max};
  return {ensemble::Quantile(prior, kTail), ensemble::Quantile(prior, 1 - kTail)};
}

FitResult FitPlan(const CalibrationModel& model, std::size_t threads) {
  const CalibrationPlan& plan = model.Plan();
  const std::size_t k = plan.site.parameters.size();
  // The model's vectors carry the error scale last, held at 1 here.
  const auto full = [&plan](const std::vector<double>& x) {
    std::vector<double> v = x;
    if (plan.errorScale) v.push_back(1.0);
    return v;
  };
  FitProblem problem;
  problem.residuals = [&model, full](const std::vector<double>& x) {
    return model.Residuals(full(x));
  };
  problem.logPrior = [&plan](const std::vector<double>& x) {
    double sum = 0;
    for (std::size_t j = 0; j < x.size(); ++j)
      sum += LogPriorDensity(plan.site.parameters[j].distribution, x[j]);
    return sum;
  };
  for (std::size_t j = 0; j < k; ++j) {
    const auto [lower, upper] = FitBounds(plan.site.parameters[j].distribution);
    problem.lower.push_back(lower);
    problem.upper.push_back(upper);
  }
  problem.start = plan.starts;
  return FitLeastSquares(problem, {.threads = threads});
}

}  // namespace kvsorv::calibration
