#pragma once
// The model as a calibration sees it: a vector of the sampled quantities (the calibrated
// parameters, then the error scale when it is estimated) goes in; the prior, the run of the
// plan's site with those parameters, and the likelihood of the observations come out. It
// holds only read-only state once made, so any number of threads evaluate it at once.

#include <optional>
#include <vector>

#include "calibration/calibration_plan.h"
#include "calibration/target.h"
#include "ensemble/member_run.h"

namespace kvsorv::calibration {

class CalibrationModel {
 public:
  // Reads the plan's site. Failures: those of ensemble::LoadSite; EObservationError naming
  // the file and the line of an observation of a cell the plan does not run.
  explicit CalibrationModel(const CalibrationPlan& plan);

  const CalibrationPlan& Plan() const { return plan_; }
  const ensemble::EnsembleSite& Site() const { return site_; }
  std::size_t Dimension() const { return priors_.size(); }

  // The sum of the log prior densities (kZeroDensity outside the priors' support).
  double LogPrior(const std::vector<double>& x) const;
  // Prior and likelihood at x; a run that fails has zero likelihood and `failed` set, and
  // a point outside the prior is not run.
  Evaluation Evaluate(const std::vector<double>& x) const;
  // The run at x (the parameter values as a parameter file would give them back).
  ensemble::MemberResult Run(const std::vector<double>& x) const;
  // The modelled value of each observation in a run's values (NaN where none).
  std::vector<double> Modelled(const ensemble::MemberResult& run) const;
  // The weighted residuals (modelled - observed) / error of every observation, on the scale
  // of its error model (logarithms for log-normal ones), at the error scale of x; nullopt
  // when the run fails or a log-normal observation is modelled at 0 or below.
  std::optional<std::vector<double>> Residuals(const std::vector<double>& x) const;
  // The log-likelihood of the observations given the modelled values and an error scale.
  double LogLikelihood(const std::vector<double>& modelled, double errorScale) const;

 private:
  double ErrorScaleOf(const std::vector<double>& x) const;

  const CalibrationPlan& plan_;
  ensemble::EnsembleSite site_;
  std::vector<ensemble::Distribution> priors_;
  std::vector<std::size_t> valueOf_;  // each observation's position in a run's values
};

}  // namespace kvsorv::calibration
