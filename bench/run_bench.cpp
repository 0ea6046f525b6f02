// A whole run of the calibrated example forest: 2000 years from year 0, time step 1,
// output step 1 (output lines from 1600), as `make run` does it.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "files/driver_file.h"
#include "files/param_file.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/program_state.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"
#include "run/run_observer.h"
#include "program_run/simulation_run.h"
#include "tasks/feedback.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;

// With a feedback, as the windows and the command line run it: its cancel is looked at every
// step, its progress set at every change of whole percent.
void Run2000Years(benchmark::State& state, bool withFeedback) {
  const fs::path examples = fs::path(KVSORV_SOURCE_DIR) / "examples";
  const fs::path work = fs::temp_directory_path() / "kvsorv-run-bench";
  fs::create_directories(work);
  for (const char* f : {"cell1.drr", "cell1b.drr", "cell1.par"})
    fs::copy_file(examples / f, work / f, fs::copy_options::overwrite_existing);
  const fs::path previous = fs::current_path();
  fs::current_path(work);

  ResetProgramState();
  RunObserver quiet;
  for (auto _ : state) {
    state.PauseTiming();
    double residual = 0.0;
    ReadParamFile("cell1.par", ModelDef.numparam, Params, ModelDef.numstate, States, residual);
    RunSettings = TRunSettings{};
    RunSettings.StopTime = 2000;
    RunSettings.DriverFileName = (work / "cell1.drr").string();
    RunSettings.OutputFileName = (work / "cell1.out").string();
    Feedback feedback;
    int percent = 0;
    feedback.OnProgress([&](const FeedbackProgress& p) { percent = static_cast<int>(p.done); });
    state.ResumeTiming();
    ExecuteRun(quiet, withFeedback ? &feedback : nullptr);
    benchmark::DoNotOptimize(percent);
  }
  fs::current_path(previous);
  fs::remove_all(work);
}
void BM_Run2000Years(benchmark::State& state) {
  Run2000Years(state, false);
}
BENCHMARK(BM_Run2000Years)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Run2000YearsWithFeedback(benchmark::State& state) {
  Run2000Years(state, true);
}
BENCHMARK(BM_Run2000YearsWithFeedback)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace kvsorv
