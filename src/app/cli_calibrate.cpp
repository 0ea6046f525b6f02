// kvsorv-cli calibrate: calibration against observations by a sampler or a fit, and the
// diagnostics of a chains file.

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "app/progress_line.h"
#include "app/stop_signals.h"
#include "calibration/calibration_model.h"
#include "calibration/calibration_run.h"
#include "calibration/chain_diagnostics.h"
#include "calibration/fit_file.h"
#include "calibration/fit_run.h"
#include "ensemble/results_guard.h"
#include "tasks/worker_pool.h"

namespace kvsorv::cli {

namespace {

using namespace calibration;

struct CalibrateOptions {
  std::string plan;
  std::string method;
  std::string output;
  bool resume = false;
  std::optional<double> generations;
  std::optional<double> threads;
  std::optional<std::string> startFrom;
  std::string chains;  // of status
  std::optional<double> rhat, ess;
};

std::size_t Threads(const CalibrateOptions& o) {
  if (!o.threads) return tasks::HardwareThreads();
  if (!(*o.threads >= 1 && *o.threads <= 1024 && *o.threads == std::floor(*o.threads)))
    throw std::invalid_argument("--threads must be a whole number from 1 to 1024");
  return static_cast<std::size_t>(*o.threads);
}

// The inputs a calibration reads, which -o must not name.
std::vector<std::string> InputsOf(const CalibrationPlan& plan, const CalibrateOptions& o) {
  std::vector<std::string> inputs = ensemble::InputFilesOf(plan.site);
  inputs.insert(inputs.end(), plan.observationFiles.begin(), plan.observationFiles.end());
  if (o.startFrom) inputs.push_back(*o.startFrom);
  return inputs;
}

void PrintFit(const CalibrationPlan& plan, const FitResult& fit) {
  std::printf("fit: %s after %d runs (%d failed); sum of squares %.6g of %zu observations\n",
              fit.stopReason.c_str(), fit.evaluations, fit.failures, fit.sumOfSquares,
              fit.residuals.size());
  std::printf("%-12s %15s %15s\n", "parameter", "value", "standard error");
  for (std::size_t j = 0; j < fit.x.size(); ++j)
    std::printf("%-12s %15.8g %15.6g\n", plan.site.parameters[j].symbol.c_str(), fit.x[j],
                j < fit.standardErrors.size() ? fit.standardErrors[j] : NAN);
  if (!fit.correlation.empty()) {
    std::printf("correlations:\n%-12s", "");
    for (const auto& p : plan.site.parameters) std::printf(" %8s", p.symbol.c_str());
    std::printf("\n");
    for (std::size_t i = 0; i < fit.correlation.size(); ++i) {
      std::printf("%-12s", plan.site.parameters[i].symbol.c_str());
      for (const double r : fit.correlation[i]) std::printf(" %8.3f", r);
      std::printf("\n");
    }
  }
  std::printf(
      "collinearity index %.4g%s\n", fit.collinearity,
      fit.collinearity > 20 ? " (above 20: the parameters are not identifiable together)" : "");
  for (const std::string& note : fit.notes) std::printf("note: %s\n", note.c_str());
  std::fflush(stdout);
}

int Fit(const CalibrateOptions& o, const CalibrationModel& model) {
  if (o.resume || o.generations || o.startFrom)
    throw std::invalid_argument("--method fit takes no --resume, --generations or --start-from");
  const FitResult fit = FitPlan(model, Threads(o));
  PrintFit(model.Plan(), fit);
  std::vector<std::string> names;
  for (const auto& p : model.Plan().site.parameters) names.push_back(p.symbol);
  WriteFitFile(o.output, FitContents(names, fit, model.Plan().hash), KVSORV_VERSION);
  std::cerr << "fit written to " << o.output << " (start a sampler from it with --start-from)\n";
  return 0;
}

// The feedback's message on stderr: rewritten in place on a terminal, else a line at a
// steady pace.
class MessageLine {
 public:
  explicit MessageLine(Feedback& feedback) : terminal_(isatty(STDERR_FILENO) != 0) {
    feedback.OnMessage([this](const std::string& m) { Show(m); });
  }
  void Show(const std::string& message) {
    const auto now = std::chrono::steady_clock::now();
    if (terminal_) {
      std::cerr << '\r' << message << "\033[K" << std::flush;
      shown_ = true;
      return;
    }
    if (now - last_ < std::chrono::duration<double>(ProgressPace())) return;
    last_ = now;
    std::cerr << message << '\n';
  }
  void End(const std::string& message) {
    if (terminal_ && shown_) std::cerr << '\r' << "\033[K";
    std::cerr << message << '\n';
  }

 private:
  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_{};
};

int Sample(const CalibrateOptions& o, const CalibrationModel& model) {
  CalibrationOptions options{.method = o.method,
                             .chainsFile = o.output,
                             .resume = o.resume,
                             .threads = Threads(o),
                             .startFrom = o.startFrom.value_or(""),
                             .version = KVSORV_VERSION};
  if (o.generations) {
    if (!(*o.generations >= 1 && *o.generations <= 1e8 &&
          *o.generations == std::floor(*o.generations)))
      throw std::invalid_argument("--generations must be a whole number from 1 to 100000000");
    options.generations = static_cast<int>(*o.generations);
  }
  std::error_code ignored;
  if (o.resume && !std::filesystem::exists(o.output))
    throw std::invalid_argument("--resume: '" + o.output + "' does not exist");
  if (!o.resume && std::filesystem::exists(o.output))
    throw std::invalid_argument(
        "'" + o.output + "' exists: add --resume to continue its calibration, or remove it first");
  if (o.resume && o.startFrom)
    throw std::invalid_argument("--start-from: a resumed calibration goes on from its chains");
  Feedback feedback;
  const StopSignals signals(feedback);
  MessageLine line(feedback);
  CalibrationOutcome outcome;
  try {
    outcome = RunCalibration(model, options, feedback);
  } catch (const EChainsError& e) {
    // A file that failed while generations were added keeps those of its last sync.
    std::size_t kept = 0;
    try {
      kept = ReadChains(o.output).generations;
    } catch (const std::exception&) {
      throw e;
    }
    throw EChainsError(std::string(e.what()) + "; the " + std::to_string(kept) +
                       " generations synced before are kept (--resume continues them)");
  }
  const ChainsContents chains = ReadChains(o.output);
  const ChainsDiagnostics d = DiagnoseChains(chains, {});
  std::string summary = std::to_string(outcome.ranNow) + " generations run, " +
                        std::to_string(outcome.generations) + " in " + o.output + "; " +
                        std::to_string(outcome.failed) + " of " +
                        std::to_string(outcome.proposals) + " proposals' runs failed";
  if (outcome.startFailures > 0)
    summary += ", " + std::to_string(outcome.startFailures) +
               (outcome.startFailures == 1 ? " draw" : " draws") + " for the starts failed";
  if (const int signal = signals.Signal(); signal != 0) {
    line.End("stopped by " + SignalName(signal) + ": " + summary + " (--resume continues)");
    return 128 + signal;
  }
  line.End(summary);
  std::cerr << std::flush;
  std::cout << DiagnosticsReport(o.output, chains, d, {});
  return 0;
}

int Calibrate(const CalibrateOptions& o) {
  if (o.plan.empty())
    throw std::invalid_argument("give the calibration plan (or 'status CHAINS.nc')");
  if (o.method != "dezs" && o.method != "am" && o.method != "fit")
    throw std::invalid_argument("--method must be dezs, am or fit");
  if (o.output.empty()) throw std::invalid_argument("-o: name the file to write");
  const CalibrationPlan plan = ReadCalibrationPlan(o.plan);
  RefuseInputAsOutput("-o", {o.output}, InputsOf(plan, o));
  const CalibrationModel model(plan);
  return o.method == "fit" ? Fit(o, model) : Sample(o, model);
}

int Status(const CalibrateOptions& o) {
  ConvergenceLimits limits;
  if (o.rhat) {
    if (!(*o.rhat > 1)) throw std::invalid_argument("--rhat must be greater than 1");
    limits.rhat = *o.rhat;
  }
  if (o.ess) {
    if (!(*o.ess > 0)) throw std::invalid_argument("--ess must be greater than 0");
    limits.ess = *o.ess;
  }
  const ChainsContents chains = ReadChains(o.chains);
  const ChainsDiagnostics d = DiagnoseChains(chains, limits);
  std::cout << DiagnosticsReport(o.chains, chains, d, limits);
  return d.converged ? 0 : 3;
}

}  // namespace

CommandBody DeclareCalibrate(CLI::App& command) {
  auto o = std::make_shared<CalibrateOptions>();
  CLI::App* status = command.add_subcommand("status", "Diagnose a chains file's convergence.");
  NotEmpty(status->add_option("chains", o->chains, "A chains file"))->required();
  AddNumber(*status, "--rhat", "X", o->rhat, "R-hat below which the chains count as mixed (1.01)");
  AddNumber(*status, "--ess", "N", o->ess, "Bulk and tail ESS above which they suffice (400)");
  command.add_option("plan", o->plan, "The calibration plan (TOML)")->type_name("PLAN");
  command.add_option("--method", o->method, "dezs, am or fit")->type_name("METHOD");
  command.add_option("-o,--output", o->output, "The chains file (or fit file) to write")
      ->type_name("FILE");
  command.add_flag("--resume", o->resume, "Continue the calibration of the chains file");
  AddNumber(command, "--generations", "N", o->generations,
            "Generations in all (the plan's unless given); with --resume, to run more");
  AddNumber(command, "--threads", "N", o->threads, "Threads (every core unless given)");
  AddText(command, "--start-from", "FIT.nc", o->startFrom,
          "Start the chains around the optimum of a fit file");
  return [o, status] { return status->parsed() ? Status(*o) : Calibrate(*o); };
}

}  // namespace kvsorv::cli
