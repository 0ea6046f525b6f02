#pragma once
// The shared run settings, file names and flags through which the commands and windows
// coordinate. One instance. A default-constructed TRunSettings holds the start-up values.

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

extern TRunSettings RunSettings;

}  // namespace kvsorv
