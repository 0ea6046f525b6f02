#pragma once
// The main window's commands that open other windows: editors, reload, steady state, the
// output display, an output file from disk, and the about window.

#include "main_window/main_view.h"

namespace kvsorv {

inline constexpr const char* kNoParamFileMessage = "Invalid parameter file. No values reloaded.";

// Parameter editor, modal; OK clears OutputAvailable and refreshes.
void MIEditParamClick(MainView& view);
// State grid on its states page, then a refresh.
void MIEditStatesClick(MainView& view);
// Driver editor, modal; OK clears OutputAvailable and ReadyToRun and refreshes.
void MIEditDrvClick(MainView& view);
// The steady-state window, modal.
void MICalcSSClick(MainView& view);
// The output display as a table when triggered by the Table item, else as a chart.
void DisplayOutput(MainView& view, bool fromTableItem);
// "Open Output File": the chosen file becomes the display's file (OutputFileName stays),
// the display is marked for reloading, OutputAvailable set, and the window refreshed.
void MIViewOutFileClick(MainView& view);
// The about window, modal.
void MIAboutClick(MainView& view);
// The ensemble window, with the design method it had.
void MIEnsembleClick(MainView& view);
// Calibrate > Against Observations: the calibration window.
void MIAgainstObservationsClick(MainView& view);
// The windows a run mode opens at start-up: in SensitivityMode the ensemble window with a
// Sobol design, in MonteCarloMode with a Latin hypercube; none in the other modes.
void OpenStartUpWindows(MainView& view);
// Without a parameter file the warning "Invalid parameter file. No values reloaded.";
// otherwise the reload dialog, whose OK clears OutputAvailable and refreshes.
void BtnReloadClick(MainView& view);

}  // namespace kvsorv
