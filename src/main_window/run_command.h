#pragma once
// The Run button: one simulation run started from the main window, with the progress
// window, the disabled main window and the trouble window of an interactive run.

#include "main_window/main_view.h"

namespace kvsorv {

// Performs a run (ExecuteRun). Without an output file name (the overwrite question was
// answered No) it first asks for one in the save dialog, opened at the output field's text,
// and runs only when a name was given. A time step that cannot advance the clock over the
// run is refused with an error box. In interactive mode the progress window is shown and the
// main window disabled while the run lasts, and both are restored on every path; a failure
// in the step loop is shown in the trouble window. Returns true when a run completed without
// failure. Failures before the step loop are passed on (ExecuteRun).
bool BtnRunClick(MainView& view);

}  // namespace kvsorv
