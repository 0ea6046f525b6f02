#pragma once
// The shared run settings, file names and flags through which the commands and windows
// coordinate, and the run mode taken from the executable's name. One instance each.

#include <string>

namespace kvsorv {

struct TRunSettings {
  double StartTime = 0.0;      // year at which a run begins
  double StopTime = 2.0;       // year at which a run ends
  double TimeStep = 1.0;       // interval each step of a run integrates over
  double OutputStep = 1.0;     // interval between output lines; a whole multiple of TimeStep
  double Tolerance = 1e-8;     // accuracy asked of the integrator
  double SteadyStateTime = 0;  // driver-file time at which the editors look up the drivers
  double PresentTime = 0.0;    // the run clock

  std::string ParamFileName;
  std::string DriverFileName;
  std::string OutputFileName;
  std::string NextDriverFileName;
  int CellNumber = 0;

  bool ParamsModified = false;   // values changed since the parameter file was read or written
  bool ReadyToRun = false;       // enabling completed and the Run button enabled
  bool OutputAvailable = false;  // an output file can be shown
  bool NewParamFile = false;     // the parameter file was created by choosing a new name
  bool NewDriverFile = false;    // the driver file was created by choosing a new name

  // The text of the main window's time step field; a run sets TimeStep from it at its end.
  std::string TimeStepText = "1";

  // The output display must read its file again before it next shows it, and the file it
  // shows.
  bool OutputReloadPending = false;
  std::string DisplayFileName;
};

struct TRunModes {
  bool ModelBatchMode = false;
  bool SensitivityMode = false;
  bool MonteCarloMode = false;
  bool InteractiveMode = false;
  friend bool operator==(const TRunModes&, const TRunModes&) = default;
};

extern TRunSettings RunSettings;
extern TRunModes RunModes;

// The start-up values of the settings: Tolerance 1e-8, StartTime 0, StopTime 2, TimeStep 1,
// OutputStep 1, SteadyStateTime = StartTime, everything else empty, 0 or false.
TRunSettings DefaultRunSettings();

// Run mode from an executable path: the file name without its directory, cut before its
// first ".", in lower case; "modelbatch", "sensitivity" and "montecarlo" select their modes,
// a name containing "orv" is interactive.
TRunModes RunModesFromExecutableName(const std::string& path);

// Raises EOutputStepTooSmall, EOutputStepTooLarge or EOutputStepNotMultiple when the output
// step s breaks a rule for the given settings (tests in that order); returns otherwise.
void CheckOutputStep(double s, const TRunSettings& settings = RunSettings);

// Checks settings.OutputStep and repairs a value that breaks a rule, telling the user in an
// information box (the rule's message followed by a note). The repaired value is not checked
// again. Marks the output display for reloading. Returns true when a repair was made.
bool RepairOutputStep(TRunSettings& settings = RunSettings);

}  // namespace kvsorv
