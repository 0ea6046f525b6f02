// kvsorv-cli run: one complete run of the model.

#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_support.h"
#include "files/driver_series.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "program_run/output_step.h"
#include "program_run/simulation_run.h"
#include "tasks/feedback.h"

namespace kvsorv::cli {

namespace {

struct RunOptions {
  std::string params;
  std::string drivers;
  std::string output;
  RunTimeOptions times;
};

int Run(const RunOptions& o) {
  TRunSettings& s = RunSettings;
  s.ParamFileName = o.params;
  s.DriverFileName = o.drivers;
  s.OutputFileName = o.output;
  ApplyRunTimes(o.times);
  if (!LoadParameters(s.ParamFileName)) return 1;
  RepairOutputStep(s);
  RequireDriverRecords(ReadDriverSeries(s.DriverFileName, ModelDef.numdrivers), s.DriverFileName);

  TerminalRunObserver observer;
  Feedback feedback;
  feedback.OnProgress(
      [&](const FeedbackProgress& p) { observer.ProgressChanged(static_cast<int>(p.done)); });
  if (!ExecuteRun(observer, &feedback)) return 1;
  std::cerr << "Output written to " << s.OutputFileName << "; next cell's drivers in "
            << s.NextDriverFileName << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareRun(CLI::App& command) {
  auto o = std::make_shared<RunOptions>();
  AddRequiredText(command, "--params", "FILE", o->params, "Parameter file");
  AddRequiredText(command, "--drivers", "FILE", o->drivers, "Driver file");
  AddRequiredText(command, "--output", "FILE", o->output, "Output file to write");
  AddRunTimeOptions(command, o->times);
  return [o] { return Run(*o); };
}

}  // namespace kvsorv::cli
