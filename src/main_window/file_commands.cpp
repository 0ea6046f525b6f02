#include "main_window/file_commands.h"

#include "program/driver_readers.h"
#include "program/program_files.h"

#include <filesystem>
#include <optional>
#include <string>

#include "files/driver_file.h"
#include "files/param_file.h"
#include "main_window/main_form_update.h"
#include "program/file_dialogs.h"
#include "program/global_tables.h"
#include "program/prompter.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program/table_change_guard.h"

namespace kvsorv {

namespace {

bool FileExists(const std::string& name) {
  std::error_code ec;
  return std::filesystem::exists(name, ec);
}

void ZeroStatesAndParams() {
  for (int i = 1; i <= ModelDef.numstate; ++i) States[i].value = 0.0;
  for (int i = 1; i <= ModelDef.numparam; ++i) Params[i].value = 0.0;
}

void WriteCurrentParams(const std::string& fileName) {
  WriteParamFile(fileName, ModelDef.numparam, Params, 0.0, States, ModelDef.numstate);
  RunSettings.ParamsModified = false;
}

// A new driver file: the header and one record of zero drivers stamped PresentTime.
void CreateDriverFile(const std::string& fileName) {
  for (int i = 1; i <= ModelDef.numdrivers; ++i) Drivers[i].value = 0.0;
  const TableChangeGuard changed({.drivers = true});
  try {
    OpenDriverFile(MainDriverChannel, fileName, ModelDef.numdrivers, Drivers, true);
    WriteDriverRecord(MainDriverChannel, RunSettings.PresentTime, ModelDef.numdrivers, Drivers);
    CloseDriverFile(MainDriverChannel);
  } catch (...) {
    MainDriverChannel.Abandon();
    throw;
  }
}

}  // namespace

void ChooseParamFile(MainView& view, FileTrigger trigger) {
  TRunSettings& s = RunSettings;
  const std::string previous = s.ParamFileName;
  if (trigger == FileTrigger::kField) {
    s.ParamFileName = view.FieldText(MainField::kParamBox);
  } else if (const auto chosen = CurrentPrompter().OpenFile(DlgOpenParam(s.ParamFileName))) {
    s.ParamFileName = *chosen;
    view.SetFieldText(MainField::kParamBox, *chosen);
  }

  if (s.ParamFileName != previous && RunModes.InteractiveMode) {
    const TableChangeGuard changed({.states = true, .parameters = true});
    if (!s.ParamFileName.empty() && !FileExists(s.ParamFileName)) {
      WriteCurrentParams(s.ParamFileName);
      s.NewParamFile = true;
      ZeroStatesAndParams();
    } else if (!s.ParamFileName.empty()) {
      double residual = 0.0;
      if (ReadParamFile(s.ParamFileName, ModelDef.numparam, Params, ModelDef.numstate, States,
                        residual)) {
        s.NewParamFile = false;
      } else {
        ZeroStatesAndParams();
        s.ParamFileName.clear();
      }
    }
    s.OutputAvailable = false;
    s.ReadyToRun = false;
  }
  UpdateMainForm(view);
}

void ChooseDriver(MainView& view, FileTrigger trigger) {
  TRunSettings& s = RunSettings;
  const std::string previous = s.DriverFileName;
  if (trigger == FileTrigger::kField) {
    s.DriverFileName = view.FieldText(MainField::kDriverBox);
  } else if (const auto chosen = CurrentPrompter().OpenFile(DlgOpenDriver(s.DriverFileName))) {
    s.DriverFileName = *chosen;
    view.SetFieldText(MainField::kDriverBox, *chosen);
  }

  if (s.DriverFileName != previous && RunModes.InteractiveMode) {
    if (!s.DriverFileName.empty()) {
      if (FileExists(s.DriverFileName)) {
        s.NewDriverFile = false;
      } else {
        s.NewDriverFile = true;
        CreateDriverFile(s.DriverFileName);
      }
    }
    s.ReadyToRun = false;
    s.OutputAvailable = false;
  }
  UpdateMainForm(view);
}

namespace {

// Steps after the output file's new name has been taken (nullopt: the dialog was cancelled).
void TakeOutputFile(MainView& view, const std::optional<std::string>& name) {
  TRunSettings& s = RunSettings;
  const std::string previous = s.OutputFileName;
  if (name) s.OutputFileName = *name;

  if (s.OutputFileName != previous) {
    if (!s.OutputFileName.empty() && FileExists(s.OutputFileName) &&
        CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                  "Overwrite existing output file, " + s.OutputFileName + "?") ==
            Answer::kNo) {
      s.OutputFileName.clear();
    }
    s.OutputAvailable = false;
    s.ReadyToRun = false;
  }
  UpdateMainForm(view);
}

}  // namespace

void ChooseOutputFile(MainView& view, FileTrigger trigger) {
  if (trigger == FileTrigger::kField) {
    TakeOutputFile(view, view.FieldText(MainField::kOutputBox));
  } else {
    AskForOutputFile(view, RunSettings.OutputFileName);
  }
}

void AskForOutputFile(MainView& view, const std::string& initialName) {
  TakeOutputFile(view, CurrentPrompter().SaveFile(DlgSaveOutput(initialName)));
}

void MISaveParamClick(MainView& view) {
  TRunSettings& s = RunSettings;
  if (s.ParamFileName.empty()) {
    // A rejected parameter file leaves no name to save under: ask for one.
    MISaveAsParamClick(view);
    return;
  }
  WriteCurrentParams(s.ParamFileName);
  s.OutputAvailable = false;
  s.NewParamFile = false;
  UpdateMainForm(view);
  if (!RunModes.SensitivityMode) CurrentPrompter().Beep();
}

void MISaveAsParamClick(MainView& view) {
  TRunSettings& s = RunSettings;
  const auto chosen = CurrentPrompter().SaveFile(DlgSaveParam(s.ParamFileName));
  if (!chosen) return;
  s.ParamFileName = *chosen;
  view.SetFieldText(MainField::kParamBox, *chosen);
  WriteCurrentParams(s.ParamFileName);
  s.NewParamFile = false;
  s.ReadyToRun = false;
  s.OutputAvailable = false;
  UpdateMainForm(view);
}

void MIExitClick(MainView& view) {
  TRunSettings& s = RunSettings;
  if (!view.Windows().CloseEnsemblePlan()) return;
  if (!view.Windows().CloseCalibrationPlan()) return;
  if (!s.ParamsModified) {
    view.CloseMainWindow();
    return;
  }
  switch (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNoCancel,
                                    "Save parameter file before exiting?")) {
    case Answer::kYes:
      if (const auto chosen = CurrentPrompter().SaveFile(DlgSaveParam(s.ParamFileName))) {
        s.ParamFileName = *chosen;
        view.SetFieldText(MainField::kParamBox, *chosen);
        WriteCurrentParams(s.ParamFileName);
      }
      break;
    case Answer::kNo:
      view.CloseMainWindow();
      break;
    default:
      break;
  }
}

}  // namespace kvsorv
