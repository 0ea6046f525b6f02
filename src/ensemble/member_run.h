#pragma once
// One member of an ensemble: the plan's site with the member's parameter values, its chain of
// cells run in memory, and the outputs the plan keeps.

#include <string>
#include <vector>

#include "ensemble/plan.h"
#include "run/model_run.h"

namespace kvsorv::ensemble {

// What every member starts from: the plan's parameter file and driver files, read once and
// shared read-only by all members.
struct EnsembleSite {
  RunInputs base;
  std::vector<double> times;           // end times of the output lines, the results' time axis
  std::vector<std::string> variables;  // "Cf", or "cell2/Cf" in a chain of several cells
  // Each output's kept times in rising order, sorted once for every member (LoadSite).
  std::vector<std::vector<double>> keptTimes;
};

// Reads the plan's files into tables of the catalogue (no state is held: no file stores the
// flag). Failures: those of ReadParamValues,
// ReadDriverSeries and GetNextDriverFilename; EPlanError when the parameter file is rejected.
EnsembleSite LoadSite(const EnsemblePlan& plan);

// Where a member that finishes records a value: times x variables, 1 where it does.
std::vector<unsigned char> KeptValues(const EnsemblePlan& plan, const EnsembleSite& site);

// The parameter values a member runs with: the design row's values as the parameter file's
// text gives them back, so that a member's parameter file runs it exactly.
std::vector<double> MemberParameters(const std::vector<double>& designRow);

struct MemberResult {
  bool failed = false;
  std::string error;           // the failure's message
  std::vector<double> values;  // times x variables, NaN where nothing was recorded
};

// Runs a member: never raises for a failure of the model (it is recorded in the result).
MemberResult RunMember(const EnsemblePlan& plan, const EnsembleSite& site,
                       const std::vector<double>& parameters);

}  // namespace kvsorv::ensemble
