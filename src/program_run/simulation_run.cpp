#include "program_run/simulation_run.h"

#include "program/program_files.h"

#include <memory>

#include "files/driver_file.h"
#include "files/driver_series.h"
#include "files/number_text.h"
#include "files/output_file.h"
#include "model/errors.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/run_modes.h"
#include "program/table_change_guard.h"
#include "program_run/run_file_roles.h"
#include "run/file_run_sink.h"

namespace kvsorv {

namespace {

// The files of one run.
struct RunChannels {
  FileChannel output{"output"};
  FileChannel scratch{"output driver"};

  // A run that fails before its first step leaves every file it would write as it was.
  void Discard() noexcept {
    output.Discard();
    scratch.Discard();
  }
  // Keeps what was written, on paths that already fail.
  void Abandon() noexcept {
    output.Abandon();
    scratch.Abandon();
  }
};

// Everything up to the run's first step that involves files, in the order the user meets
// its messages: the driver file, the scratch file, the base driver file, the output file
// and the cell number.
RunInputs PrepareInputs(RunChannels& files, CellFiles& cell) {
  const TRunSettings& s = RunSettings;
  const int nd = ModelDef.numdrivers;
  RunInputs in = RunInputsOfProgram();

  MainDriverReader.Reset();
  BaseDriverReader.Reset();
  in.mainDrivers = std::make_shared<DriverSeries>(ReadDriverSeries(s.DriverFileName, nd));
  ReportMissingDriverFile(*in.mainDrivers);
  OpenDriverFile(files.scratch, kScratchDriverFile, nd, Drivers, true);
  in.baseDrivers = std::make_shared<DriverSeries>(
      ReadDriverSeries(DirectoryOf(s.DriverFileName) + kBaseDriverFile, nd));
  ReportMissingDriverFile(*in.baseDrivers);
  OpenOutputFile(files.output, s.OutputFileName, Drivers, ModelDef.numstate, States,
                 ModelDef.numprocess, Processes, true);
  cell = GetNextDriverFilename(s.DriverFileName);
  in.cellNumber = cell.cellNumber;
  return in;
}

// Closes the run's files and writes the next cell's driver file: the record saved at 1600,
// then every scratch record after 1600, read back from the scratch file into PresentTime and
// Drivers.
void Complete(RunChannels& files, const RunOutcome& outcome) {
  TRunSettings& s = RunSettings;
  const int nd = ModelDef.numdrivers;
  CloseDriverFile(files.scratch);
  CloseOutputFile(files.output);

  FileChannel scratch("main driver");
  FileChannel next("output driver");
  OpenDriverFileForReading(scratch, kScratchDriverFile, nd, Drivers);
  OpenDriverFile(next, s.NextDriverFileName, nd, outcome.nextCellDrivers, true);
  s.PresentTime = kFirstOutputYear;
  WriteDriverRecord(next, s.PresentTime, nd, outcome.startRecordDrivers);
  while (ReadDriverRecord(scratch, s.PresentTime, nd, Drivers))
    if (s.PresentTime > kFirstOutputYear) WriteDriverRecord(next, s.PresentTime, nd, Drivers);
  CloseDriverFile(scratch);
  CloseDriverFile(next);

  s.TimeStep = StrToFloat(s.TimeStepText);
  s.OutputAvailable = true;
}

}  // namespace

RunInputs RunInputsOfProgram() {
  const TRunSettings& s = RunSettings;
  RunInputs in;
  in.states = States;
  in.params = Params;
  in.drivers = Drivers;
  in.processes = Processes;
  in.times = {.start = s.StartTime,
              .stop = s.StopTime,
              .step = s.TimeStep,
              .outputStep = s.OutputStep,
              .tolerance = s.Tolerance};
  in.waterCoefficient = kRunWaterCoefficient;
  return in;
}

bool TimeStepAdvancesClock(const TRunSettings& s) {
  const double step = s.TimeStep;
  return step > 0.0 && s.StartTime + step > s.StartTime && s.StopTime + step > s.StopTime;
}

bool ExecuteRun(RunObserver& observer, Feedback* feedback) {
  if (!TimeStepAdvancesClock(RunSettings)) throw ERunTimeError(kTimeStepTooSmallMessage);
  CheckRunFileRoles(RunSettings);
  const bool interactive = RunModes.InteractiveMode;
  RunChannels files;
  FileRunSink sink(files.output, &files.scratch);

  observer.RunStarting();
  RunOutcome outcome;
  CellFiles cell;
  try {
    const RunInputs inputs = PrepareInputs(files, cell);
    outcome = RunModel(inputs, sink, feedback);
  } catch (...) {
    files.Discard();
    observer.RunAborted();
    throw;
  }

  const TableChangeGuard changed({.states = true, .drivers = true, .processes = true});
  TRunSettings& s = RunSettings;
  s.OutputReloadPending = true;
  s.CellNumber = cell.cellNumber;
  s.NextDriverFileName = cell.nextDriverFileName;
  s.PresentTime = outcome.presentTime;
  WaterCoefficient = kRunWaterCoefficient;
  States = outcome.states;
  Drivers = outcome.drivers;
  Processes = outcome.processes;

  try {
    Complete(files, outcome);
  } catch (...) {
    files.Abandon();
    observer.RunAborted();
    // Outside interactive mode the step loop's failure is the one passed on.
    if (outcome.failure && !interactive) std::rethrow_exception(outcome.failure);
    throw;
  }
  if (interactive) s.DisplayFileName = s.OutputFileName;
  observer.RunCompleted();
  if (!outcome.failure) return true;
  if (!interactive) std::rethrow_exception(outcome.failure);
  observer.RunFailed(outcome.failureMessage);
  return false;
}

}  // namespace kvsorv
