#pragma once
// A calibration plan as the window edits it, and its TOML text in the form ReadCalibrationPlan
// reads: the site and times, the calibrated parameters as rows of the ensemble window's table
// of distributions, the observation files with their error models, the error scale's prior
// and the sampler's settings.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration_plan.h"
#include "ensemble_window/plan_table.h"

namespace kvsorv::calibration {

struct ObservationFile {
  std::string file;  // absolute, or relative to the working directory
  ErrorModel model = ErrorModel::kGaussian;
  friend bool operator==(const ObservationFile&, const ObservationFile&) = default;
};

struct EditedCalibration {
  // The parameter and driver files, cells, times and seed; `outputs` those kept besides the
  // observed ones.
  ensemble::EnsemblePlan site;
  std::vector<ensemble::PlanRow> rows;
  std::map<std::string, double> starts;  // the starts given, by symbol
  std::vector<ObservationFile> observations;
  std::optional<ensemble::Distribution> errorScale;
  SamplerSettings sampler;
};

// The edited plan of a plan read: its observed outputs left out of `outputs`.
EditedCalibration EditedOf(const CalibrationPlan& plan);

// The plan's text for a file named `fileName`: files inside that file's directory are given
// relative to it, others as absolute paths. EPlanError naming the row of a row that makes no
// prior (RowProblem's message).
std::string CalibrationPlanText(const EditedCalibration& plan, const std::string& fileName);

}  // namespace kvsorv::calibration
