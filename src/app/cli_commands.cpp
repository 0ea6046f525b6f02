#include "app/cli_commands.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/cli_args.h"
#include "calibration/steady_state_session.h"
#include "files/driver_file.h"
#include "files/param_file.h"
#include "model/catalogue_listing.h"
#include "model/errors.h"
#include "model/globals.h"
#include "model/process_evaluation.h"
#include "program/run_settings.h"
#include "run/output_step.h"
#include "run/simulation_run.h"

namespace kvsorv::cli {

namespace {

// "%.17g": enough digits to give the double back exactly, independent of the locale.
std::string Exact(double value) {
  std::array<char, 40> buf{};
  const auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17);
  return std::string(buf.data(), r.ptr);
}

// Reads the parameter file into the global States and Params; false when it was rejected
// (the prompter has said why).
bool LoadParameters(const std::string& fileName) {
  double residual = 0.0;
  return ReadParamFile(fileName, ModelDef.numparam, Params, ModelDef.numstate, States, residual);
}

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

// Prints every message as the stderr prompter does, and counts the errors, so that a command
// can tell whether a step it took was reported as failed.
class CountingPrompter : public StderrPrompter {
 public:
  CountingPrompter() : previous_(InstallPrompter(this)) {}
  ~CountingPrompter() override { InstallPrompter(previous_); }
  Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) override {
    if (kind == MessageKind::kError) ++errors;
    return StderrPrompter::Message(kind, buttons, text);
  }
  int errors = 0;

 private:
  Prompter* previous_;
};

template <typename Table>
void PrintValues(const char* kind, const Table& table, int count) {
  for (int i = 1; i <= count; ++i)
    std::cout << kind << '\t' << table[i].symbol << '\t' << Exact(table[i].value) << '\n';
}

}  // namespace

int Catalogue() {
  std::cout << FormatCatalogueListing();
  return 0;
}

int Run(int argc, char** argv) {
  const Options opts(argc, argv, 2,
                     {"params", "drivers", "output", "start", "stop", "step", "output-step"});
  TRunSettings& s = RunSettings;
  s.ParamFileName = opts.Require("params");
  s.DriverFileName = opts.Require("drivers");
  s.OutputFileName = opts.Require("output");
  s.StartTime = opts.Number("start", s.StartTime);
  s.StopTime = opts.Number("stop", s.StopTime);
  s.TimeStep = opts.Number("step", s.TimeStep);
  s.TimeStepText = opts.Get("step").value_or(s.TimeStepText);
  s.OutputStep = opts.Number("output-step", s.OutputStep);
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

int Processes(int argc, char** argv) {
  const Options opts(argc, argv, 2, {"params", "drivers", "time", "water-coefficient"});
  const std::string params = opts.Require("params");
  const std::string drivers = opts.Require("drivers");
  const double time = opts.Number("time", RunSettings.SteadyStateTime);
  WaterCoefficient = opts.Number("water-coefficient", 0.0);

  if (!LoadParameters(params)) return 1;
  LookupDriversAt(drivers, Drivers, time, RunSettings.StopTime);
  ComputeProcesses(Drivers, Params, States, kvsorv::Processes, time);
  for (int k = 1; k <= ModelDef.numprocess; ++k) {
    const auto& p = kvsorv::Processes[k];
    std::cout << k << '\t' << p.symbol << '\t' << Exact(p.value) << '\t' << p.units << '\n';
  }
  return 0;
}

int SteadyState(int argc, char** argv) {
  const Options opts(argc, argv, 2,
                     {"params", "drivers", "time", "water-coefficient", "set", "solves", "save"});
  const std::string params = opts.Require("params");
  const std::string drivers = opts.Require("drivers");
  RunSettings.SteadyStateTime = opts.Number("time", RunSettings.SteadyStateTime);
  WaterCoefficient = opts.Number("water-coefficient", 0.0);
  const double solves = opts.Number("solves", 0.0);
  if (solves < 0 || solves != std::floor(solves))
    throw std::invalid_argument("--solves must be a whole number of at least 0");
  // Every entry is checked before anything is solved.
  std::vector<std::pair<std::string, std::string>> entries;
  for (const std::string& set : opts.GetAll("set")) {
    const auto eq = set.find('=');
    if (eq == std::string::npos) throw std::invalid_argument("--set needs SYMBOL=VALUE: " + set);
    const std::string symbol = set.substr(0, eq);
    if (FindEntryField(symbol) == nullptr)
      throw std::invalid_argument("'" + symbol +
                                  "' is not an entry field of the steady-state window");
    entries.emplace_back(symbol, set.substr(eq + 1));
  }

  if (!LoadParameters(params)) return 1;
  drivearray lookedUp = Drivers;
  LookupDriversAt(drivers, lookedUp, RunSettings.SteadyStateTime, RunSettings.StopTime);

  CountingPrompter prompter;
  SteadyStateSession session;
  TRunModes modes;
  modes.InteractiveMode = true;
  session.SetModes(modes);
  session.Solver().SetModelBatchMode(false);
  session.Solver().SetWindowShown(true);
  session.SetSteadyStateTime(RunSettings.SteadyStateTime);
  if (!session.Open(lookedUp)) return 1;

  bool lastSolveFailed = false;
  auto solve = [&](const std::function<void()>& step) {
    const int before = prompter.errors;
    step();
    lastSolveFailed = prompter.errors > before;
  };
  for (const auto& [symbol, text] : entries)
    solve([&, &symbol = symbol, &text = text] { session.CommitEntry(symbol, text); });
  for (int i = 0; i < static_cast<int>(solves); ++i) solve([&] { session.UpdateForm(true); });

  const SteadyStateSolver& solver = session.Solver();
  double maxRate = 0.0;
  for (int i = 1; i <= ModelDef.numstate; ++i)
    maxRate = std::max(maxRate, std::fabs(solver.NewProcesses()[i].value));
  std::cout << "status\t" << (session.StatusGreen() ? "steady" : "not steady") << '\n';
  std::cout << "max_rate\t" << Exact(maxRate) << '\n';
  PrintValues("state", solver.NewStates(), ModelDef.numstate);
  PrintValues("param", solver.NewParams(), ModelDef.numparam);
  PrintValues("process", solver.NewProcesses(), ModelDef.numprocess);

  if (const auto file = opts.Get("save")) {
    session.SaveParamFile(
        [&] { WriteParamFile(*file, ModelDef.numparam, Params, 0.0, States, ModelDef.numstate); });
  }
  if (lastSolveFailed) return 1;
  return session.StatusGreen() ? 0 : 3;
}

}  // namespace kvsorv::cli
