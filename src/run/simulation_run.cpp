#include "run/simulation_run.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "files/driver_file.h"
#include "files/number_text.h"
#include "files/output_file.h"
#include "integration/integrator.h"
#include "model/errors.h"
#include "model/globals.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "program/driver_readers.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "run/run_file_roles.h"

namespace kvsorv {

namespace {

// Everything a run changes before its step loop, so a failed preparation can be undone.
struct RunSnapshot {
  statearray states = States;
  drivearray drivers = Drivers;
  processarray processes = Processes;
  double waterCoefficient = WaterCoefficient;
  TRunSettings settings = RunSettings;
  DriverReader mainReader = MainDriverReader;
  DriverReader baseReader = BaseDriverReader;

  void Restore() const {
    States = states;
    Drivers = drivers;
    Processes = processes;
    WaterCoefficient = waterCoefficient;
    RunSettings = settings;
    MainDriverReader = mainReader;
    BaseDriverReader = baseReader;
  }
};

void AbandonAllChannels(FileChannel& outputFile) noexcept {
  MainDriverChannel.Abandon();
  BaseDriverChannel.Abandon();
  OutputDriverChannel.Abandon();
  outputFile.Abandon();
}

// A run that fails before its first step leaves every file it would write as it was.
void DiscardAllChannels(FileChannel& outputFile) noexcept {
  MainDriverChannel.Discard();
  BaseDriverChannel.Discard();
  OutputDriverChannel.Discard();
  outputFile.Discard();
}

// The tables and counters of one run.
struct RunState {
  drivearray nextCellDrivers;     // drivers of the next cell at the current output time
  drivearray baseDrivers;         // drivers of the base driver file at the current time
  drivearray startRecordDrivers;  // nextCellDrivers saved at the output time 1600
  double baseClock = 0.0;
  long long stepCounter = 1;
  long long stepsPerOutput = 1;
};

int ProgressPercent(double presentTime, const TRunSettings& s) {
  const auto done = static_cast<std::int64_t>(std::llround(presentTime - s.StartTime));
  const auto length = static_cast<std::int64_t>(std::llround(s.StopTime - s.StartTime));
  if (length <= 0) return 0;  // a run shorter than half a year has no whole-year scale
  return static_cast<int>((done * 100) / length);
}

void Prepare(RunState& run, FileChannel& outputFile) {
  TRunSettings& s = RunSettings;
  const int nd = ModelDef.numdrivers;
  const std::string baseFileName = DirectoryOf(s.DriverFileName) + kBaseDriverFile;
  run.nextCellDrivers = Drivers;
  run.baseDrivers = Drivers;
  run.startRecordDrivers = Drivers;
  for (auto& d : run.startRecordDrivers) d.value = 0.0;

  MainDriverReader.Reset();
  BaseDriverReader.Reset();
  OpenDriverFile(MainDriverChannel, s.DriverFileName, nd, Drivers, false);
  OpenDriverFile(OutputDriverChannel, kScratchDriverFile, nd, run.nextCellDrivers, true);
  OpenDriverFile(BaseDriverChannel, baseFileName, nd, run.baseDrivers, false);
  OpenOutputFile(outputFile, s.OutputFileName, Drivers, ModelDef.numstate, States,
                 ModelDef.numprocess, Processes, true);

  const CellFiles cell = GetNextDriverFilename(s.DriverFileName);
  s.CellNumber = cell.cellNumber;
  s.NextDriverFileName = cell.nextDriverFileName;

  s.PresentTime = s.StartTime;
  run.baseClock = s.StartTime;
  run.stepCounter = 1;
  run.stepsPerOutput = std::llround(s.OutputStep / s.TimeStep);

  GetDriverValues(MainDriverChannel, MainDriverReader, Drivers, s.PresentTime, s.StopTime);
  GetDriverValues(BaseDriverChannel, BaseDriverReader, run.baseDrivers, run.baseClock, s.StopTime);

  WaterCoefficient = kRunWaterCoefficient;
  const double ch = InitialHumusCarbon(s.CellNumber);
  States[st::Ch].value = ch;
  States[st::Nh].value = ch / kHumusCNRatio;

  ComputeProcesses(Drivers, Params, States, Processes, s.PresentTime);
  WriteOutputLine(outputFile, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                  s.PresentTime);
}

void StepLoop(RunState& run, FileChannel& outputFile, RunObserver& observer, bool interactive) {
  TRunSettings& s = RunSettings;
  const int n = ModelDef.numstate;
  while (s.PresentTime + s.TimeStep <= s.StopTime) {
    run.nextCellDrivers = Drivers;
    if (std::abs(s.CellNumber - kFixedDepositionCell) < 0.1 && s.PresentTime > kFixedDepositionYear)
      Drivers[drv::Dnh4].value = kFixedDeposition;

    StateVector y;
    for (int i = 1; i <= n; ++i) y[i] = States[i].value;
    int nok = 0, nbad = 0;
    ODEIntegrator(y, n, nok, s.PresentTime, s.PresentTime + s.TimeStep, s.Tolerance, s.TimeStep,
                  0.0001 * s.TimeStep, nbad, Drivers, Params);
    for (int i = 1; i <= n; ++i) States[i].value = y[i];

    ComputeProcesses(Drivers, Params, States, Processes, s.PresentTime);

    if (run.stepCounter == run.stepsPerOutput) {
      // The next cell receives this cell's base water and deposition plus what leaves it.
      run.nextCellDrivers[drv::Ppt].value =
          run.baseDrivers[drv::Ppt].value + Processes[proc::Qw].value;
      run.nextCellDrivers[drv::Dnh4].value =
          run.baseDrivers[drv::Dnh4].value + Processes[proc::Qnh4].value;
      if (std::fabs(s.PresentTime - kFirstOutputYear) < 0.1)
        run.startRecordDrivers = run.nextCellDrivers;
      WriteDriverRecord(OutputDriverChannel, s.PresentTime, ModelDef.numdrivers,
                        run.nextCellDrivers);
      if (s.PresentTime >= kFirstOutputYear)
        WriteOutputLine(outputFile, Drivers, n, States, ModelDef.numprocess, Processes,
                        s.PresentTime + s.TimeStep);
      run.stepCounter = 0;
    }

    if (interactive) observer.ProgressChanged(ProgressPercent(s.PresentTime, s));

    s.PresentTime += s.TimeStep;
    run.baseClock += s.TimeStep;
    GetDriverValues(MainDriverChannel, MainDriverReader, Drivers, s.PresentTime, s.StopTime);
    GetDriverValues(BaseDriverChannel, BaseDriverReader, run.baseDrivers, run.baseClock,
                    s.StopTime);
    ++run.stepCounter;
  }
}

void Complete(RunState& run, FileChannel& outputFile, RunObserver& observer, bool interactive) {
  TRunSettings& s = RunSettings;
  const int nd = ModelDef.numdrivers;
  CloseDriverFile(MainDriverChannel);
  CloseDriverFile(OutputDriverChannel);
  CloseDriverFile(BaseDriverChannel);
  CloseOutputFile(outputFile);

  // The next cell's file: the record saved at 1600, then every scratch record after 1600.
  OpenDriverFile(MainDriverChannel, kScratchDriverFile, nd, Drivers, false);
  OpenDriverFile(OutputDriverChannel, s.NextDriverFileName, nd, run.nextCellDrivers, true);
  s.PresentTime = kFirstOutputYear;
  WriteDriverRecord(OutputDriverChannel, s.PresentTime, nd, run.startRecordDrivers);
  while (ReadDriverRecord(MainDriverChannel, s.PresentTime, nd, Drivers))
    if (s.PresentTime > kFirstOutputYear)
      WriteDriverRecord(OutputDriverChannel, s.PresentTime, nd, Drivers);
  CloseDriverFile(MainDriverChannel);
  CloseDriverFile(OutputDriverChannel);

  s.TimeStep = StrToFloat(s.TimeStepText);
  s.OutputAvailable = true;
  if (interactive) {
    s.DisplayFileName = s.OutputFileName;
    observer.RunCompleted();
  }
}

}  // namespace

std::string DirectoryOf(const std::string& fileName) {
  const auto slash = fileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

CellFiles GetNextDriverFilename(const std::string& driverFileName) {
  const std::string dir = DirectoryOf(driverFileName);
  std::string name = driverFileName.substr(dir.size());
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  const std::string rest = name.size() > 4 ? name.substr(4) : std::string();
  // Whole numbers only: an optional sign and digits.
  const char* begin = rest.data();
  const char* end = begin + rest.size();
  if (begin != end && *begin == '+') ++begin;
  int cell = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, cell);
  if (rest.empty() || ec != std::errc() || ptr != end)
    throw EConvertError::NotAnInteger(rest).WithLineBefore(
        "Driver file '" + driverFileName +
        "': its name must be \"cell\" followed by the cell number (for example cell1.drr).");
  return {cell, dir + "cell" + std::to_string(static_cast<long long>(cell) + 1) + ".drr"};
}

double InitialHumusCarbon(int cellNumber) {
  const double f = (cellNumber - 1) / 5.0 + 1.0;
  return 5.1558 * f * f + 649.24 * f + 8013.2;
}

bool TimeStepAdvancesClock(const TRunSettings& s) {
  const double step = s.TimeStep;
  return step > 0.0 && s.StartTime + step > s.StartTime && s.StopTime + step > s.StopTime;
}

bool ExecuteRun(RunObserver& observer) {
  if (!TimeStepAdvancesClock(RunSettings)) throw ERunTimeError(kTimeStepTooSmallMessage);
  CheckRunFileRoles(RunSettings);
  const bool interactive = RunModes.InteractiveMode;
  const RunSnapshot snapshot;
  FileChannel outputFile("output");
  RunState run;

  if (interactive) observer.RunStarting();
  RunSettings.OutputReloadPending = true;
  try {
    Prepare(run, outputFile);
  } catch (...) {
    DiscardAllChannels(outputFile);
    snapshot.Restore();
    if (interactive) observer.RunAborted();
    throw;
  }

  std::string failure;
  bool failed = false;
  try {
    StepLoop(run, outputFile, observer, interactive);
  } catch (const Exception& e) {
    if (!interactive) {
      // Passed on after completion, as in an interactive run.
      try {
        Complete(run, outputFile, observer, interactive);
      } catch (...) {
        AbandonAllChannels(outputFile);
      }
      throw;
    }
    failed = true;
    failure = e.Message();
  }

  try {
    Complete(run, outputFile, observer, interactive);
  } catch (...) {
    AbandonAllChannels(outputFile);
    if (interactive) observer.RunAborted();
    throw;
  }
  if (failed) observer.RunFailed(failure);
  return !failed;
}

}  // namespace kvsorv
