#include "app/cli_support.h"

#include "program/program_files.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <iostream>
#include <stdexcept>

#include "app/cli_options.h"
#include "ensemble/plan.h"
#include "files/driver_series.h"
#include "files/number_text.h"
#include "files/param_file.h"
#include "program/global_tables.h"
#include "program/run_settings.h"

namespace kvsorv::cli {

void AddSiteOptions(CLI::App& command, SiteOptions& site) {
  AddRequiredText(command, "--params", "FILE", site.params, "Parameter file");
  AddRequiredText(command, "--drivers", "FILE", site.drivers, "Driver file");
  AddNumber(command, "--time", "T", site.time,
            "Time (year) at which the drivers are read, " + Exact(TRunSettings{}.SteadyStateTime) +
                " unless given");
  AddNumber(command, "--water-coefficient", "G", site.waterCoefficient,
            "Water coefficient, 0 unless given");
}

std::string Exact(double value) {
  std::array<char, 40> buf{};
  const auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17);
  return std::string(buf.data(), r.ptr);
}

bool LoadParameters(const std::string& fileName) {
  double residual = 0.0;
  return ReadParamFile(fileName, ModelDef.numparam, Params, ModelDef.numstate, States, residual);
}

void AddRunTimeOptions(CLI::App& command, RunTimeOptions& t) {
  const TRunSettings defaults;
  AddNumber(command, "--start", "N", t.start,
            "Start time (year), " + Exact(defaults.StartTime) + " unless given");
  AddNumber(command, "--stop", "N", t.stop,
            "Stop time (year), " + Exact(defaults.StopTime) + " unless given");
  AddNumber(command, "--step", "X", t.step,
            "Time step (years), " + Exact(defaults.TimeStep) + " unless given")
      ->each([&t](const std::string& text) { t.stepText = text; });
  AddNumber(command, "--output-step", "X", t.outputStep,
            "Output time step (years), " + Exact(defaults.OutputStep) + " unless given");
}

void ApplyRunTimes(const RunTimeOptions& t) {
  TRunSettings& s = RunSettings;
  s.StartTime = t.start.value_or(s.StartTime);
  s.StopTime = t.stop.value_or(s.StopTime);
  s.TimeStep = t.step.value_or(s.TimeStep);
  s.TimeStepText = t.stepText.value_or(s.TimeStepText);
  s.OutputStep = t.outputStep.value_or(s.OutputStep);
  if (!(s.StopTime > s.StartTime))
    throw std::invalid_argument("--stop must be greater than --start");
  if (!(s.TimeStep > 0.0)) throw std::invalid_argument("--step must be greater than 0");
  if (!(s.TimeStep <= s.StopTime - s.StartTime))
    throw std::invalid_argument("--step must be at most --stop - --start (" +
                                FormatGeneral(s.StopTime - s.StartTime, 15) + ")");
  // A run must end in reasonable time and disk space: its steps are counted before it starts.
  const double steps = (s.StopTime - s.StartTime) / s.TimeStep;
  if (!(steps <= ensemble::kMostRunSteps))
    throw std::invalid_argument(
        "--stop: from --start to --stop the run would take " + FormatGeneral(steps, 4) +
        " steps of " + FormatGeneral(s.TimeStep, 4) + "; a run may take at most " +
        FormatGeneral(ensemble::kMostRunSteps, 4) + " (a shorter span or a longer --step)");
}

void RequireDriverRecords(const DriverSeries& series, const std::string& driverFile) {
  if (!series.fileMissing && series.Size() == 0 && !series.failure)
    throw std::invalid_argument("--drivers: '" + driverFile +
                                "' holds no driver record (a line of a time and " +
                                std::to_string(ModelDef.numdrivers) + " values)");
}

TerminalRunObserver::TerminalRunObserver() : terminal_(isatty(STDERR_FILENO) != 0) {}

void TerminalRunObserver::ProgressChanged(int percent) {
  if (!terminal_ || percent == shown_) return;
  shown_ = percent;
  const int filled = percent / 2;
  std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(50 - filled), ' ') << "] " << percent << '%'
            << std::flush;
}

void TerminalRunObserver::RunFailed(const std::string& message) {
  std::cerr << message << '\n';
}

void TerminalRunObserver::EndBar() {
  if (terminal_ && shown_ >= 0) std::cerr << '\n';
  shown_ = -1;
}

}  // namespace kvsorv::cli
