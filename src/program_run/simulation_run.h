#pragma once
// A complete run of the program: from the loaded states and parameters and the chosen driver
// file to the output file, the scratch driver file "dummyfile" and the next cell's driver
// file. It fills a RunModel from the global tables and the files, writes what the run hands
// it, and puts the final values back into the global tables.

#include <string>

#include "files/cell_file_names.h"
#include "program/run_settings.h"
#include "run/cell_drivers.h"
#include "run/model_run.h"
#include "run/run_observer.h"

namespace kvsorv {

inline constexpr const char* kScratchDriverFile = "dummyfile";

inline constexpr const char* kTimeStepTooSmallMessage =
    "Time step is too small to advance the run clock.";

// Whether adding the time step moves the run clock anywhere between start and stop (a step
// of 0, a negative one, or one lost in the rounding of the clock would never end a run).
bool TimeStepAdvancesClock(const TRunSettings& settings);

// A run's inputs from the global tables and run settings: states, parameters, the drivers
// and processes' names, the times and the water coefficient of a run (no driver series yet).
RunInputs RunInputsOfProgram();

// Performs one run with the global settings and model tables, telling the observer of start,
// completion and failure, and the feedback (when one is given) of its progress: whole percent
// done of 100 (RunModel). A canceled feedback ends the step loop with ERunCanceled, a failure
// in the step loop like any other. A failure in the step loop comes after completion: in
// interactive mode it is reported through the observer (the call then returns false),
// otherwise it is passed on. A failure before the step loop (a missing driver file, a driver
// file name without a cell number, an output file that cannot be created, a math error in
// the first evaluation) leaves every global value and every existing file as it was, tells
// the observer RunAborted and is passed on. Refused before anything is touched, with
// ERunTimeError kTimeStepTooSmallMessage: a time step that does not advance the clock; with
// EInOutError (CheckRunFileRoles): a file the run would write that is also one it reads or
// writes in another role. Returns true when the run completed without failure.
bool ExecuteRun(RunObserver& observer, Feedback* feedback = nullptr);

}  // namespace kvsorv
