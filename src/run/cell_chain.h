#pragma once
// A chain of cells run one after another in memory: each cell takes as its drivers the
// series the cell before it hands on (that cell's base drivers plus the water and ammonium
// that leave it), with every number as the next cell's driver file would give it back, so a
// chain gives what successive runs through files give, bit for bit.

#include <functional>
#include <vector>

#include "files/driver_series.h"
#include "run/model_run.h"

namespace kvsorv {

// Keeps the next cell's records a run hands out, and passes everything on to another sink.
class NextCellRecorder : public RunSink {
 public:
  explicit NextCellRecorder(RunSink& next, int driverCount);

  void OutputLine(double time, const drivearray& drivers, const statearray& states,
                  const processarray& processes) override;
  void NextCellRecord(double time, const drivearray& drivers) override;

  // The next cell's driver series: the record saved at the first output year, then every
  // record after it, each time and value through the driver file's number text.
  DriverSeries NextCellSeries(const RunOutcome& outcome) const;

 private:
  RunSink& next_;
  DriverSeries records_;
};

// The drivers of a value written to a driver file and read back: "%.13e" text, parsed.
double ThroughDriverText(double value);

// Runs `cells` cells, the first with `first` (and its cell number), each further one with
// the next cell number and the series the one before handed on. Each cell's results go to
// the sink `sinkFor(cell)` returns. Stops after a cell whose step loop failed (a canceled
// feedback fails the cell running with ERunCanceled); a failure before a cell's first step is
// raised. Returns the outcome of every cell run. The feedback's progress is percent of the
// chain, cell k (from 0) counting from 100 k of 100 cells; its message names the cell running
// ("cell 3").
std::vector<RunOutcome> RunCellChain(const RunInputs& first, int cells,
                                     const std::function<RunSink&(int cell)>& sinkFor,
                                     Feedback* feedback = nullptr);

}  // namespace kvsorv
