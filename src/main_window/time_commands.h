#pragma once
// The main window's time fields, the output time step command and the steady-state time
// command.

#include "main_window/main_view.h"

namespace kvsorv {

inline constexpr const char* kTimeStepNotPositiveMessage = "Time step must be greater than 0.";

// Leaving the start or stop time field: once the field has been edited and while it holds
// text, sets StartTime (StopTime) to its number, clears ReadyToRun and OutputAvailable and
// refreshes. Failures: EConvertError for text that is not a number (nothing changes).
void StartBoxChange(MainView& view);
void StopBoxChange(MainView& view);

// Leaving the time step field: applies it as the other fields do (a step that is not greater
// than 0 is refused with an error box, and nothing changes), then checks and repairs the
// output step and marks the output display for reloading, even when the field was not
// applied. Failures: EConvertError, after which nothing changes.
void StepBoxChange(MainView& view);

// "Output Time Step" input box, asked again while the answer is not greater than 0; the
// answer is checked and repaired, the display marked for reloading, OutputAvailable cleared
// and the window refreshed. Cancel keeps the value held before the command. Failures:
// EConvertError, after which OutputStep keeps its value.
void MIOutTimeStepClick(MainView& view);

// "Steady State Time" input box: sets SteadyStateTime, clears OutputAvailable and marks the
// display for reloading. Cancel keeps the time. Failures: EConvertError (nothing changes).
void MICalTimeClick(MainView& view);

}  // namespace kvsorv
