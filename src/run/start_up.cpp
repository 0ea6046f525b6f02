#include "run/start_up.h"

#include "model/globals.h"
#include "program/program_state.h"
#include "run/failure_report.h"
#include "run/file_commands.h"
#include "run/time_commands.h"

namespace kvsorv {

void FormCreate(MainView& view, const std::string& executablePath) {
  ResetProgramState(executablePath);
  view.SetCaption(ModelDef.modelname);
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
}

}  // namespace kvsorv
