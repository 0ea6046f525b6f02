#pragma once
// The main window's refresh: turns the run settings' files, times and flags into enabled
// commands.

#include "main_window/main_view.h"

namespace kvsorv {

// While ReadyToRun is false: enables Save once a parameter file is named, shows the driver
// and output file names, enables Calculate once the parameter and driver fields hold text,
// and, with the output field too and StopTime > StartTime, sets ReadyToRun and enables Run.
// Then enables Chart and Table and resets both driver readers when OutputAvailable holds;
// otherwise disables them and shows "0" as the present time. Finally moves the focus off the
// parameter file's field. Never disables Save, Calculate or Run.
void UpdateMainForm(MainView& view);

}  // namespace kvsorv
