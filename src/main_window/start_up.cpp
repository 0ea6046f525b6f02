#include "main_window/start_up.h"

#include <algorithm>
#include <cstddef>

#include "main_window/failure_report.h"
#include "main_window/file_commands.h"
#include "main_window/time_commands.h"
#include "program/global_tables.h"
#include "program/program_state.h"

namespace kvsorv {

namespace {

// The width of the time fields, in characters.
constexpr std::size_t kTimeFieldWidth = 5;

std::size_t Utf16Length(std::string_view text) {
  std::size_t n = 0;
  for (const unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++n;  // not a continuation byte: a character starts
    if (c >= 0xF0) ++n;           // beyond the basic plane: a surrogate pair
  }
  return n;
}

}  // namespace

void FormCreate(MainView& view, const std::string& executablePath) {
  ResetProgramState(executablePath);
  view.SetCaption(ModelDef.modelname);
}

std::optional<std::string> FieldTextRefusal(MainField field, std::string_view text) {
  const std::string width = std::to_string(kTimeFieldWidth);
  std::string refusal = "'";
  refusal += text;
  refusal += "' ";
  switch (field) {
    case MainField::kStartTime:
    case MainField::kStopTime:
      if (!text.empty() && text.size() <= kTimeFieldWidth &&
          std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
      return refusal + "is not a whole year of 1 to " + width + " digits";
    case MainField::kTimeStep:
      if (Utf16Length(text) <= kTimeFieldWidth) return std::nullopt;
      return refusal + "is longer than " + width + " characters";
    default:
      return std::nullopt;
  }
}

void ApplyStartOptions(MainView& view, const StartOptions& options) {
  struct Entry {
    const std::optional<std::string>& text;
    MainField field;
    void (*leave)(MainView&);
  };
  const Entry entries[] = {
      {options.params, MainField::kParamBox,
       [](MainView& v) { ChooseParamFile(v, FileTrigger::kField); }},
      {options.drivers, MainField::kDriverBox,
       [](MainView& v) { ChooseDriver(v, FileTrigger::kField); }},
      {options.output, MainField::kOutputBox,
       [](MainView& v) { ChooseOutputFile(v, FileTrigger::kField); }},
      {options.start, MainField::kStartTime, StartBoxChange},
      {options.stop, MainField::kStopTime, StopBoxChange},
      {options.step, MainField::kTimeStep, StepBoxChange},
  };
  for (const Entry& e : entries) {
    if (!e.text) continue;
    view.EnterFieldText(e.field, *e.text);
    RunReportingFailures([&] { e.leave(view); });
  }
  if (options.plan) view.Windows().OpenEnsemblePlan(*options.plan);
}

}  // namespace kvsorv
