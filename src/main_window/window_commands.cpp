#include "main_window/window_commands.h"

#include "main_window/file_dialogs.h"
#include "main_window/main_form_update.h"
#include "program/prompter.h"
#include "program/run_settings.h"

namespace kvsorv {

void MIEditParamClick(MainView& view) {
  if (!view.ShowParameterEditor()) return;
  RunSettings.OutputAvailable = false;
  UpdateMainForm(view);
}

void MIEditStatesClick(MainView& view) {
  view.ShowStateGrid();
  UpdateMainForm(view);
}

void MIEditDrvClick(MainView& view) {
  if (!view.ShowDriverEditor()) return;
  RunSettings.OutputAvailable = false;
  RunSettings.ReadyToRun = false;
  UpdateMainForm(view);
}

void MICalcSSClick(MainView& view) {
  view.ShowSteadyStateWindow();
}

void DisplayOutput(MainView& view, bool fromTableItem) {
  view.ShowOutputDisplay(fromTableItem);
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
  view.ShowAboutWindow();
}

void BtnReloadClick(MainView& view) {
  if (RunSettings.ParamFileName.empty()) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kNoParamFileMessage);
    return;
  }
  if (!view.ShowReloadDialog()) return;
  RunSettings.OutputAvailable = false;
  UpdateMainForm(view);
}

}  // namespace kvsorv
