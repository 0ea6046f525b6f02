#include "calibration/calibration_model.h"

#include <cmath>
#include <numbers>

#include "calibration/prior.h"

namespace kvsorv::calibration {

CalibrationModel::CalibrationModel(const CalibrationPlan& plan)
    : plan_(plan), site_(ensemble::LoadSite(plan.site)), priors_(SampledPriors(plan)) {
  const std::size_t outputs = plan.site.outputs.size();
  const int firstCell = site_.base.cellNumber;
  for (const Observation& o : plan.observations) {
    const int cell = o.row.cell.value_or(firstCell);
    if (cell < firstCell || cell >= firstCell + plan.site.cells)
      throw EObservationError(o.file + ", line " + std::to_string(o.row.line) + ": cell " +
                              std::to_string(cell) + " is not run by the plan (cells " +
                              std::to_string(firstCell) + " to " +
                              std::to_string(firstCell + plan.site.cells - 1) + ")");
    const std::size_t column = static_cast<std::size_t>(cell - firstCell) * outputs + o.output;
    valueOf_.push_back(o.line * site_.variables.size() + column);
  }
}

double CalibrationModel::LogPrior(const std::vector<double>& x) const {
  double sum = 0;
  for (std::size_t j = 0; j < priors_.size(); ++j) sum += LogPriorDensity(priors_[j], x[j]);
  return std::isnan(sum) ? kZeroDensity : sum;
}

double CalibrationModel::ErrorScaleOf(const std::vector<double>& x) const {
  return plan_.errorScale ? x.back() : 1.0;
}

ensemble::MemberResult CalibrationModel::Run(const std::vector<double>& x) const {
  const std::vector<double> parameters(
      x.begin(), x.begin() + static_cast<std::ptrdiff_t>(plan_.site.parameters.size()));
  return ensemble::RunMember(plan_.site, site_, ensemble::MemberParameters(parameters));
}

std::vector<double> CalibrationModel::Modelled(const ensemble::MemberResult& run) const {
  std::vector<double> modelled;
  modelled.reserve(valueOf_.size());
  for (const std::size_t v : valueOf_) modelled.push_back(run.values[v]);
  return modelled;
}

double CalibrationModel::LogLikelihood(const std::vector<double>& modelled, double scale) const {
  constexpr double kHalfLog2Pi = 0.91893853320467274178;
  double sum = 0;
  for (std::size_t i = 0; i < modelled.size(); ++i) {
    const Observation& o = plan_.observations[i];
    const double sd = o.sd * scale;
    double r = 0;
    if (o.model == ErrorModel::kLogNormal) {
      if (!(modelled[i] > 0)) return kZeroDensity;
      r = (std::log(modelled[i]) - std::log(o.row.value)) / sd;
      sum -= std::log(o.row.value);
    } else {
      r = (modelled[i] - o.row.value) / sd;
    }
    sum -= 0.5 * r * r + std::log(sd) + kHalfLog2Pi;
  }
  return std::isfinite(sum) ? sum : kZeroDensity;
}

Evaluation CalibrationModel::Evaluate(const std::vector<double>& x) const {
  Evaluation e;
  const double prior = LogPrior(x);
  if (!std::isfinite(prior)) return e;
  const ensemble::MemberResult run = Run(x);
  if (run.failed) {
    e.failed = true;
    return e;
  }
  e.logLikelihood = LogLikelihood(Modelled(run), ErrorScaleOf(x));
  e.logPosterior = std::isfinite(e.logLikelihood) ? prior + e.logLikelihood : kZeroDensity;
  return e;
}

std::optional<std::vector<double>> CalibrationModel::Residuals(const std::vector<double>& x) const {
  const ensemble::MemberResult run = Run(x);
  if (run.failed) return std::nullopt;
  const std::vector<double> modelled = Modelled(run);
  const double scale = ErrorScaleOf(x);
  std::vector<double> r;
  r.reserve(modelled.size());
  for (std::size_t i = 0; i < modelled.size(); ++i) {
    const Observation& o = plan_.observations[i];
    if (o.model == ErrorModel::kLogNormal) {
      if (!(modelled[i] > 0)) return std::nullopt;
      r.push_back((std::log(modelled[i]) - std::log(o.row.value)) / (o.sd * scale));
    } else {
      r.push_back((modelled[i] - o.row.value) / (o.sd * scale));
    }
    if (!std::isfinite(r.back())) return std::nullopt;
  }
  return r;
}

}  // namespace kvsorv::calibration
