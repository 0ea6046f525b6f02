#pragma once
// A site run for the Python module: a parameter file and a driver file read once, then run
// any number of times (on any threads at once) with other values of chosen parameters,
// keeping chosen outputs at every output line.

#include <string>
#include <vector>

#include "model/catalogue.h"
#include "run/model_run.h"
#include "tasks/feedback.h"

namespace kvsorv::python {

// The inputs of a run of the site: the catalogue's tables with the parameter file's values,
// the drivers of the driver file's cell and of the base driver file beside it.
// Failures: those of ReadParamValues; EInOutError kFileAccess when the parameter file is
// not one of this model, or when the driver file or the base driver file does not exist.
RunInputs LoadSiteInputs(const std::string& paramFile, const std::string& driverFile);

struct SiteRun {
  std::vector<int> parameters;  // catalogue positions (from 1) of the parameters changed
  std::vector<double> values;   // their values, one per position
  std::vector<OutputQuantity> outputs;
  RunTimes times;
  int cells = 1;  // cells in a chain, from the site's cell on
};

struct SiteRunResult {
  std::vector<double> times;                // time of each output line (years)
  std::vector<std::vector<double>> values;  // cell-major: [cell * outputs + output][line]
};

// Runs the site's chain of cells. Failures: ERunTimeError when the time step does not
// advance the clock; EOutputStepTooSmall, EOutputStepTooLarge or EOutputStepNotMultiple
// for an output step that is below the step, beyond the span or no whole multiple of the
// step; std::invalid_argument when the stop is not after the start, the parameters and
// values differ in count, a position is outside the catalogue or there is no cell; a failure of the
// model's error kinds, before the first step or in the step loop of any cell, is raised (with
// ERunCanceled when the feedback was canceled).
SiteRunResult RunSite(const RunInputs& site, const SiteRun& run, Feedback* feedback = nullptr);

}  // namespace kvsorv::python
