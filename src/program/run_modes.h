#pragma once
// The run mode, taken from the executable's name at start-up. One instance.

#include <string>

namespace kvsorv {

struct TRunModes {
  bool ModelBatchMode = false;
  bool SensitivityMode = false;
  bool MonteCarloMode = false;
  bool InteractiveMode = false;
  friend bool operator==(const TRunModes&, const TRunModes&) = default;
};

extern TRunModes RunModes;

// Run mode from an executable path: the file name without its directory, cut before its
// first ".", in lower case; "modelbatch", "sensitivity" and "montecarlo" select their modes,
// a name containing "orv" is interactive.
TRunModes RunModesFromExecutableName(const std::string& path);

}  // namespace kvsorv
