#pragma once
// The main window's file commands: choosing the parameter, driver and output files (reading,
// creating or rejecting them), saving the parameter file, and Exit with its question about
// unsaved values.

#include <string>

#include "main_window/main_view.h"

namespace kvsorv {

// Takes the parameter file's name from its field or from the open dialog. When the name
// changed, in interactive mode: a name that does not exist is written from the current
// values and then every state and parameter value is set to 0 (NewParamFile set); an
// existing file is read, and a rejected one zeroes every value and empties ParamFileName
// (the field keeps the text). Clears ReadyToRun and OutputAvailable then. Refreshes.
// Failures: EInOutError from reading or writing, passed on.
void ChooseParamFile(MainView& view, FileTrigger trigger);

// Takes the driver file's name from its field or from the open dialog. When the name
// changed, in interactive mode: a name that does not exist is created with the header and
// one record of zero drivers stamped PresentTime (NewDriverFile set, every driver value 0).
// Clears ReadyToRun and OutputAvailable then. Refreshes. Failures: EInOutError, passed on.
void ChooseDriver(MainView& view, FileTrigger trigger);

// Takes the output file's name from its field or from the save dialog. When the name
// changed and names an existing file, asks before overwriting it; No empties
// OutputFileName. Clears ReadyToRun and OutputAvailable then. Refreshes. In every run mode.
void ChooseOutputFile(MainView& view, FileTrigger trigger);

// ChooseOutputFile's dialog path with the save dialog opened at `initialName`.
void AskForOutputFile(MainView& view, const std::string& initialName);

// Writes the parameter file from the current values (residual 0), clears OutputAvailable
// and NewParamFile, refreshes, and beeps unless in sensitivity mode. Without a parameter
// file name it does what Save As does. Failures: EInOutError, EOverflow, EInvalidOp.
void MISaveParamClick(MainView& view);

// Asks for a name in the save dialog; on a name, shows it, writes the file, clears
// NewParamFile, ReadyToRun and OutputAvailable and refreshes. Cancel does nothing.
void MISaveAsParamClick(MainView& view);

// With unsaved values asks "Save parameter file before exiting?": Yes saves under a name
// chosen in the save dialog and keeps the window open, No closes it, Cancel does nothing.
// Without unsaved values closes the window.
void MIExitClick(MainView& view);

}  // namespace kvsorv
