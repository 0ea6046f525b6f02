#pragma once
// What the commands of kvsorv-cli share: numbers printed exactly and the parameter file
// loaded into the global tables.

#include <optional>
#include <string>

#include "run/run_observer.h"

namespace CLI {
class App;
}

namespace kvsorv {
struct DriverSeries;
}

namespace kvsorv::cli {

// The site a command evaluates: parameter file, driver file, the time at which the drivers
// are read and the water coefficient.
struct SiteOptions {
  std::string params;
  std::string drivers;
  std::optional<double> time;
  std::optional<double> waterCoefficient;
};

// Declares --params, --drivers, --time and --water-coefficient.
void AddSiteOptions(CLI::App& command, SiteOptions& site);

// The times of a run.
struct RunTimeOptions {
  std::optional<double> start;
  std::optional<double> stop;
  std::optional<double> step;
  std::optional<std::string> stepText;
  std::optional<double> outputStep;
};

// Declares --start, --stop, --step and --output-step.
void AddRunTimeOptions(CLI::App& command, RunTimeOptions& times);

// Puts the given times into the global run settings and checks them: the stop after the
// start (std::invalid_argument otherwise), a positive step and at most kMostRunSteps steps
// from start to stop. Call after loading the
// parameter file: the output step is checked and repaired as the window does.
void ApplyRunTimes(const RunTimeOptions& times);

// Reports a run's progress (the whole percent its feedback reports) as a bar on stderr when
// that is a terminal, and a failed step loop's message.
class TerminalRunObserver : public RunObserver {
 public:
  TerminalRunObserver();
  void ProgressChanged(int percent);
  void RunCompleted() override { EndBar(); }
  void RunAborted() override { EndBar(); }
  void RunFailed(const std::string& message) override;

 private:
  void EndBar();
  bool terminal_;
  int shown_ = -1;
};

// "%.17g": enough digits to give the double back exactly, independent of the locale.
std::string Exact(double value);

// std::invalid_argument naming the file when `series`, read from a driver file that exists,
// holds no driver record (a run would compute with no drivers and fail with an arithmetic
// fault naming nothing).
void RequireDriverRecords(const DriverSeries& series, const std::string& driverFile);

// Reads the parameter file into the global States and Params; false when it was rejected
// (the prompter has said why).
bool LoadParameters(const std::string& fileName);

}  // namespace kvsorv::cli
