// kvsorv-cli run: one complete run of the model.

#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_support.h"
#include "program/run_settings.h"
#include "run/output_step.h"
#include "run/simulation_run.h"

namespace kvsorv::cli {

namespace {

struct RunOptions {
  std::string params;
  std::string drivers;
  std::string output;
  std::optional<double> start;
  std::optional<double> stop;
  std::optional<double> step;
  std::optional<std::string> stepText;
  std::optional<double> outputStep;
};

// Shows a bar on stderr when it is a terminal, and reports a failed step loop.
class TerminalRunObserver : public RunObserver {
 public:
  TerminalRunObserver() : terminal_(isatty(STDERR_FILENO) != 0) {}

  void ProgressChanged(int percent) override {
    if (!terminal_ || percent == shown_) return;
    shown_ = percent;
    const int filled = percent / 2;
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(50 - filled), ' ') << "] " << percent << '%'
              << std::flush;
  }
  void RunCompleted() override { EndBar(); }
  void RunAborted() override { EndBar(); }
  void RunFailed(const std::string& message) override { std::cerr << message << '\n'; }

 private:
  void EndBar() {
    if (terminal_ && shown_ >= 0) std::cerr << '\n';
    shown_ = -1;
  }
  bool terminal_;
  int shown_ = -1;
};

int Run(const RunOptions& o) {
  TRunSettings& s = RunSettings;
  s.ParamFileName = o.params;
  s.DriverFileName = o.drivers;
  s.OutputFileName = o.output;
  s.StartTime = o.start.value_or(s.StartTime);
  s.StopTime = o.stop.value_or(s.StopTime);
  s.TimeStep = o.step.value_or(s.TimeStep);
  s.TimeStepText = o.stepText.value_or(s.TimeStepText);
  s.OutputStep = o.outputStep.value_or(s.OutputStep);
  if (!(s.StopTime > s.StartTime))
    throw std::invalid_argument("--stop must be greater than --start");
  if (!(s.TimeStep > 0.0)) throw std::invalid_argument("--step must be greater than 0");

  if (!LoadParameters(s.ParamFileName)) return 1;
  RepairOutputStep(s);

  TerminalRunObserver observer;
  if (!ExecuteRun(observer)) return 1;
  std::cerr << "Output written to " << s.OutputFileName << "; next cell's drivers in "
            << s.NextDriverFileName << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareRun(CLI::App& command) {
  auto o = std::make_shared<RunOptions>();
  const TRunSettings defaults = TRunSettings{};
  AddRequiredText(command, "--params", "FILE", o->params, "Parameter file");
  AddRequiredText(command, "--drivers", "FILE", o->drivers, "Driver file");
  AddRequiredText(command, "--output", "FILE", o->output, "Output file to write");
  AddNumber(command, "--start", "N", o->start,
            "Start time (year), " + Exact(defaults.StartTime) + " unless given");
  AddNumber(command, "--stop", "N", o->stop,
            "Stop time (year), " + Exact(defaults.StopTime) + " unless given");
  AddNumber(command, "--step", "X", o->step,
            "Time step (years), " + Exact(defaults.TimeStep) + " unless given")
      ->each([o](const std::string& text) { o->stepText = text; });
  AddNumber(command, "--output-step", "X", o->outputStep,
            "Output time step (years), " + Exact(defaults.OutputStep) + " unless given");
  return [o] { return Run(*o); };
}

}  // namespace kvsorv::cli
