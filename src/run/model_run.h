#pragma once
// A run of the model as a value: everything it needs goes in, its output lines, the next
// cell's driver records and its progress go to a sink, and its final values come back. It
// reads and writes no global table and no file, so any number of runs may go on at once,
// on any threads, sharing only their read-only driver series.

#include <cstddef>
#include <exception>
#include <memory>
#include <string>

#include "files/driver_series.h"
#include "model/records.h"
#include "tasks/feedback.h"

namespace kvsorv {

// Calendar constants of a run.
inline constexpr double kFirstOutputYear = 1600.0;  // output lines from steps beginning here
inline constexpr double kFixedDepositionYear = 1650.0;
inline constexpr int kFixedDepositionCell = 50;
inline constexpr double kFixedDeposition = 5.0;  // Dnh4 of that cell after that year
inline constexpr double kRunWaterCoefficient = 10.0;
inline constexpr double kHumusCNRatio = 22.55542;

// Times of a run, in years.
struct RunTimes {
  double start = 0.0;
  double stop = 2.0;
  double step = 1.0;        // each step integrates over this interval
  double outputStep = 1.0;  // output every round(outputStep / step) steps
  double tolerance = 1e-8;  // accuracy asked of the integrator
};

struct RunInputs {
  statearray states;  // initial values and HoldConstant flags; Ch and Nh come from the cell
  paramarray params;
  drivearray drivers;      // names and units of the drivers (values are looked up)
  processarray processes;  // names and units of the processes
  RunTimes times;
  double waterCoefficient = kRunWaterCoefficient;
  int cellNumber = 1;
  std::shared_ptr<const DriverSeries> mainDrivers{};  // this cell's drivers
  std::shared_ptr<const DriverSeries> baseDrivers{};  // the base drivers of the chain
};

// Where a run's results go, in the order the run produces them.
class RunSink {
 public:
  virtual ~RunSink() = default;
  // An output line: the first at the start time, then one at the end of every output step
  // that begins at kFirstOutputYear or later.
  virtual void OutputLine(double time, const drivearray& drivers, const statearray& states,
                          const processarray& processes) = 0;
  // A record of the next cell's drivers, stamped with the begin time of an output step.
  virtual void NextCellRecord(double time, const drivearray& drivers) = 0;
};

struct RunOutcome {
  // The tables at the last completed step.
  statearray states;
  drivearray drivers;
  processarray processes;
  double presentTime = 0.0;       // the run clock where the step loop ended
  drivearray nextCellDrivers;     // the next cell's drivers at the last output step
  drivearray startRecordDrivers;  // saved at the output step beginning at kFirstOutputYear
  // A failure of the step loop (nullptr when every step was taken) and its message.
  std::exception_ptr failure;
  std::string failureMessage;
};

// Initial humus carbon of a cell (g C m-2): 5.1558 f^2 + 649.24 f + 8013.2 with
// f = (cell - 1) / 5 + 1. Humus nitrogen is that divided by kHumusCNRatio.
double InitialHumusCarbon(int cellNumber);

// A run's part of a longer task's progress: its whole percent p done is reported as
// before + p of total.
struct ProgressShare {
  std::size_t before = 0;
  std::size_t total = 100;
};

// Runs from inputs.times.start while a whole step fits before inputs.times.stop. A failure
// before the first step (a driver lookup, the first evaluation, the sink's first line) is
// raised, with nothing but that line handed to the sink; a failure of the model's error kinds
// in the step loop ends the loop and is returned in the outcome; any other is raised.
// With a feedback, each step first looks whether it was canceled (the loop then ends with
// ERunCanceled in the outcome, the steps taken before kept) and the whole percent of the run
// done (0..100, by the time at which the step began) is reported to it whenever it changes.
RunOutcome RunModel(const RunInputs& inputs, RunSink& sink, Feedback* feedback = nullptr,
                    ProgressShare share = {});

}  // namespace kvsorv
