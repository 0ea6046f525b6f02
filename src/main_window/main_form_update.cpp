#include "main_window/main_form_update.h"

#include "files/driver_file.h"
#include "program/driver_readers.h"
#include "program/run_settings.h"

namespace kvsorv {

void UpdateMainForm(MainView& view) {
  TRunSettings& s = RunSettings;
  if (!s.ReadyToRun) {
    if (!s.ParamFileName.empty()) view.EnableCommand(MainCommand::kSaveParam, true);
    if (!s.DriverFileName.empty()) view.SetFieldText(MainField::kDriverBox, s.DriverFileName);
    if (!s.OutputFileName.empty()) view.SetFieldText(MainField::kOutputBox, s.OutputFileName);
    if (!view.FieldText(MainField::kDriverBox).empty() &&
        !view.FieldText(MainField::kParamBox).empty()) {
      view.EnableCommand(MainCommand::kCalculate, true);
      if (!view.FieldText(MainField::kOutputBox).empty() && s.StopTime > s.StartTime) {
        s.ReadyToRun = true;
        view.EnableCommand(MainCommand::kRun, true);
      }
    }
  }
  view.EnableCommand(MainCommand::kChart, s.OutputAvailable);
  view.EnableCommand(MainCommand::kTable, s.OutputAvailable);
  if (s.OutputAvailable) {
    MainDriverReader.Reset();
    BaseDriverReader.Reset();
  } else {
    view.SetFieldText(MainField::kPresentBox, "0");
  }
  if (view.ParamBoxFocused()) view.FocusBackground();
}

}  // namespace kvsorv
