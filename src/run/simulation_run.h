#pragma once
// A complete run: from the loaded states and parameters and the chosen driver file to the
// output file, the scratch driver file "dummyfile" and the next cell's driver file.

#include <string>

#include "program/run_settings.h"
#include "run/run_observer.h"

namespace kvsorv {

// Calendar constants of a run.
inline constexpr double kFirstOutputYear = 1600.0;  // output lines from steps beginning here
inline constexpr double kFixedDepositionYear = 1650.0;
inline constexpr int kFixedDepositionCell = 50;
inline constexpr double kFixedDeposition = 5.0;  // Dnh4 of that cell after that year
inline constexpr double kRunWaterCoefficient = 10.0;
inline constexpr double kHumusCNRatio = 22.55542;
inline constexpr const char* kScratchDriverFile = "dummyfile";
inline constexpr const char* kBaseDriverFile = "cell1b.drr";

inline constexpr const char* kTimeStepTooSmallMessage =
    "Time step is too small to advance the run clock.";

// Whether adding the time step moves the run clock anywhere between start and stop (a step
// of 0, a negative one, or one lost in the rounding of the clock would never end a run).
bool TimeStepAdvancesClock(const TRunSettings& settings);

struct CellFiles {
  int cellNumber = 0;
  std::string nextDriverFileName;
};

// Cell number from a driver file's name (its name without directory and extension, less
// its first four characters: "cell7.drr" gives 7) and the next cell's driver file
// ("cell8.drr" in the same directory). Raises EConvertError when no integer remains.
CellFiles GetNextDriverFilename(const std::string& driverFileName);

// The directory part of a file name, with its trailing separator ("" when there is none).
std::string DirectoryOf(const std::string& fileName);

// Initial humus carbon of a cell (g C m-2): 5.1558 f^2 + 649.24 f + 8013.2 with
// f = (cell - 1) / 5 + 1. Humus nitrogen is that divided by kHumusCNRatio.
double InitialHumusCarbon(int cellNumber);

// Performs one run with the global settings, run modes and model tables. In an interactive
// run the observer is told of start, progress, completion and failure, and a failure in the
// step loop is reported through it after completion (the call then returns false). Outside
// interactive mode such a failure is passed on after completion. A failure before the step
// loop (a missing driver file, a driver file name without a cell number, an output file
// that cannot be created, a math error in the first evaluation) restores every value the
// run had changed, closes every file, tells the observer RunAborted and is passed on.
// A time step that does not advance the clock raises ERunTimeError with
// kTimeStepTooSmallMessage before anything is touched.
// Returns true when the run completed without failure.
bool ExecuteRun(RunObserver& observer);

}  // namespace kvsorv
