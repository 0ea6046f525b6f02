#include "main_window/window_commands.h"

#include "main_window/main_form_update.h"
#include "program/file_dialogs.h"
#include "program/prompter.h"
#include "program/run_modes.h"
#include "program/run_settings.h"

namespace kvsorv {

void MIEditParamClick(MainView& view) {
  if (!view.Windows().ShowParameterEditor()) return;
  RunSettings.OutputAvailable = false;
  UpdateMainForm(view);
}

void MIEditStatesClick(MainView& view) {
  view.Windows().ShowStateGrid();
  UpdateMainForm(view);
}

void MIEditDrvClick(MainView& view) {
  if (!view.Windows().ShowDriverEditor()) return;
  RunSettings.OutputAvailable = false;
  RunSettings.ReadyToRun = false;
  UpdateMainForm(view);
}

void MICalcSSClick(MainView& view) {
  view.Windows().ShowSteadyState();
}

void DisplayOutput(MainView& view, bool fromTableItem) {
  view.Windows().ShowOutputDisplay(fromTableItem);
}

void MIViewOutFileClick(MainView& view) {
  const auto chosen = CurrentPrompter().OpenFile(DlgOpenOutput(""));
  if (!chosen) return;
  TRunSettings& s = RunSettings;
  if (!chosen->empty()) s.DisplayFileName = *chosen;
  s.OutputReloadPending = true;
  s.OutputAvailable = true;
  UpdateMainForm(view);
}

void MIAboutClick(MainView& view) {
  view.Windows().ShowAbout();
}

void MIEnsembleClick(MainView& view) {
  view.Windows().ShowEnsemble(std::nullopt);
}

void MIAgainstObservationsClick(MainView& view) {
  view.Windows().ShowCalibration();
}

void OpenStartUpWindows(MainView& view) {
  if (RunModes.SensitivityMode) view.Windows().ShowEnsemble(ensemble::Method::kSobol);
  if (RunModes.MonteCarloMode) view.Windows().ShowEnsemble(ensemble::Method::kLatinHypercube);
}

void BtnReloadClick(MainView& view) {
  if (RunSettings.ParamFileName.empty()) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kNoParamFileMessage);
    return;
  }
  if (!view.Windows().ShowReloadDialog()) return;
  RunSettings.OutputAvailable = false;
  UpdateMainForm(view);
}

}  // namespace kvsorv
