#include "main_window/time_commands.h"

#include <optional>
#include <string>

#include "files/number_text.h"
#include "main_window/main_form_update.h"
#include "model/errors.h"
#include "program/prompter.h"
#include "program/run_settings.h"
#include "program_run/output_step.h"

namespace kvsorv {

namespace {

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// The number of an edited, non-empty time field; nullopt when the field is not applied.
std::optional<double> EditedNumber(const MainView& view, MainField field) {
  const std::string text = view.FieldText(field);
  if (IsBlank(text) || !view.FieldEdited(field)) return std::nullopt;
  return StrToFloat(text);
}

void TimeChanged(MainView& view) {
  RunSettings.ReadyToRun = false;
  RunSettings.OutputAvailable = false;
  UpdateMainForm(view);
}

}  // namespace

void StartBoxChange(MainView& view) {
  if (const auto value = EditedNumber(view, MainField::kStartTime)) {
    RunSettings.StartTime = *value;
    TimeChanged(view);
  }
}

void StopBoxChange(MainView& view) {
  if (const auto value = EditedNumber(view, MainField::kStopTime)) {
    RunSettings.StopTime = *value;
    TimeChanged(view);
  }
}

void StepBoxChange(MainView& view) {
  // A refused text gives way to the step in use, so the field never shows another step than
  // the next run takes.
  const auto restoreField = [&view] {
    view.SetFieldText(MainField::kTimeStep, RunSettings.TimeStepText);
  };
  std::optional<double> value;
  try {
    value = EditedNumber(view, MainField::kTimeStep);
  } catch (const EConvertError&) {
    restoreField();
    throw;
  }
  if (value) {
    // A step that does not move the clock forward would make a run loop for ever.
    if (!(*value > 0.0)) {
      restoreField();
      CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk,
                                kTimeStepNotPositiveMessage);
      return;
    }
    RunSettings.TimeStep = *value;
    RunSettings.TimeStepText = view.FieldText(MainField::kTimeStep);
    TimeChanged(view);
  }
  RepairOutputStep(RunSettings);
}

void MIOutTimeStepClick(MainView& view) {
  TRunSettings& s = RunSettings;
  const double before = s.OutputStep;
  double step = before;
  do {
    const auto answer = CurrentPrompter().Input(
        "Output Time Step", "Enter the time step for the output data.", FormatForEditing(step));
    if (!answer && !(before > 0.0)) return;  // nothing better to fall back on
    step = answer ? StrToFloat(*answer) : before;
  } while (!(step > 0.0));
  s.OutputStep = step;
  RepairOutputStep(s);
  s.OutputReloadPending = true;
  s.OutputAvailable = false;
  UpdateMainForm(view);
}

void MICalTimeClick(MainView&) {
  TRunSettings& s = RunSettings;
  const auto answer = CurrentPrompter().Input(
      "Steady State Time",
      "Enter the time from the driver file at which to calculate a steady state.",
      FormatForEditing(s.SteadyStateTime));
  if (answer) s.SteadyStateTime = StrToFloat(*answer);
  s.OutputAvailable = false;
  s.OutputReloadPending = true;
}

}  // namespace kvsorv
