// kvsorv-cli steady-state: the steady-state calibration as the window does it.

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_support.h"
#include "files/driver_file.h"
#include "files/param_file.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/prompter.h"
#include "program/run_settings.h"
#include "steady_state/steady_state_session.h"

namespace kvsorv::cli {

namespace {

struct SteadyStateOptions {
  SiteOptions site;
  std::vector<std::string> sets;
  std::optional<double> solves;
  std::optional<std::string> save;
};

// While it lives, answers the session's overwrite question Yes without showing it: --save is
// the user's answer. Everything else goes to the prompter it stands in for.
class SaveConfirmingPrompter : public Prompter {
 public:
  SaveConfirmingPrompter() : forward_(CurrentPrompter()), previous_(InstallPrompter(this)) {}
  ~SaveConfirmingPrompter() override { InstallPrompter(previous_); }
  Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) override {
    if (kind == MessageKind::kConfirmation && text == kOverwriteParamFileQuestion)
      return Answer::kYes;
    return forward_.Message(kind, buttons, text);
  }
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override {
    return forward_.Input(caption, prompt, initial);
  }
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override {
    return forward_.OpenFile(request);
  }
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override {
    return forward_.SaveFile(request);
  }
  void Beep() override { forward_.Beep(); }

 private:
  Prompter& forward_;
  Prompter* previous_;
};

template <typename Table>
void PrintValues(const char* kind, const Table& table, int count) {
  for (int i = 1; i <= count; ++i)
    std::cout << kind << '\t' << table[i].symbol << '\t' << Exact(table[i].value) << '\n';
}

// The entries as symbol and text, each an entry field of the window.
std::vector<std::pair<std::string, std::string>> Entries(const std::vector<std::string>& sets) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const std::string& set : sets) {
    const auto eq = set.find('=');
    if (eq == std::string::npos) throw std::invalid_argument("--set needs SYMBOL=VALUE: " + set);
    const std::string symbol = set.substr(0, eq);
    if (FindEntryField(symbol) == nullptr)
      throw std::invalid_argument("'" + symbol +
                                  "' is not an entry field of the steady-state window");
    entries.emplace_back(symbol, set.substr(eq + 1));
  }
  return entries;
}

int SteadyState(const SteadyStateOptions& o) {
  RunSettings.SteadyStateTime = o.site.time.value_or(RunSettings.SteadyStateTime);
  WaterCoefficient = o.site.waterCoefficient.value_or(0.0);
  const double solves = o.solves.value_or(0.0);
  if (!(solves >= 0 && solves <= std::numeric_limits<int>::max()) || solves != std::floor(solves))
    throw std::invalid_argument("--solves must be a whole number from 0 to " +
                                std::to_string(std::numeric_limits<int>::max()));
  // Every entry is checked before anything is solved.
  const auto entries = Entries(o.sets);

  if (!LoadParameters(o.site.params)) return 1;
  drivearray lookedUp = Drivers;
  LookupDriversAt(o.site.drivers, lookedUp, RunSettings.SteadyStateTime, RunSettings.StopTime);

  SteadyStateSession session;
  session.SetModes(TRunModes{.InteractiveMode = true});
  session.Solver().SetModelBatchMode(false);
  session.Solver().SetWindowShown(true);
  session.SetSteadyStateTime(RunSettings.SteadyStateTime);
  if (!session.Open(lookedUp)) return 1;

  bool lastSolveFailed = false;
  for (const auto& [symbol, text] : entries)
    if (const auto outcome = session.CommitEntry(symbol, text))
      lastSolveFailed = outcome->solveFailed;
  for (int i = 0; i < static_cast<int>(solves); ++i)
    lastSolveFailed = session.UpdateForm(true).solveFailed;

  // The set a failed solve leaves in the window is no solution, whatever its judgement.
  const bool steady = !lastSolveFailed && session.StatusGreen();
  const SteadyStateSolver& solver = session.Solver();
  double maxRate = 0.0;
  for (int i = 1; i <= ModelDef.numstate; ++i)
    maxRate = std::max(maxRate, std::fabs(solver.NewProcesses()[i].value));
  std::cout << "status\t" << (steady ? "steady" : "not steady") << '\n';
  std::cout << "max_rate\t" << Exact(maxRate) << '\n';
  PrintValues("state", solver.NewStates(), ModelDef.numstate);
  PrintValues("param", solver.NewParams(), ModelDef.numparam);
  PrintValues("process", solver.NewProcesses(), ModelDef.numprocess);

  if (o.save) {
    if (lastSolveFailed) {
      std::cerr << "not saved: the last solve failed\n";
      return 1;
    }
    SaveConfirmingPrompter confirming;
    if (session.SaveParamFile([&] {
          WriteParamFile(*o.save, ModelDef.numparam, Params, 0.0, States, ModelDef.numstate);
          RunSettings.ParamsModified = false;
        }))
      std::cerr << "Parameters saved to " << *o.save << '\n';
  }
  if (lastSolveFailed) return 1;
  return steady ? 0 : 3;
}

}  // namespace

CommandBody DeclareSteadyState(CLI::App& command) {
  auto o = std::make_shared<SteadyStateOptions>();
  AddSiteOptions(command, o->site);
  AddRepeatedText(command, "--set", "SYMBOL=VALUE", o->sets,
                  "An entry typed into the window's field SYMBOL, then solved; repeats");
  AddNumber(command, "--solves", "N", o->solves, "Solves after the entries, 0 unless given");
  AddText(command, "--save", "FILE", o->save,
          "Write the parameter file of the result, unless the last solve failed");
  return [o] { return SteadyState(*o); };
}

}  // namespace kvsorv::cli
