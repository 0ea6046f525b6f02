// The twin experiment of the README, timed: DE-MCzs on 4 parameters of the example site against
// 100 observations over 1590-1700, 3000 generations of 4 chains on every core, to a chains file
// in the temporary directory (removed after); and one evaluation of the posterior (a member's
// run with its likelihood), the unit the sampler's own cost is measured against.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "calibration/calibration_model.h"
#include "calibration/calibration_run.h"
#include "tasks/worker_pool.h"

namespace kvsorv::calibration {
namespace {

const std::string kPlan = std::string(KVSORV_SOURCE_DIR) + "/examples/twin/plan.toml";

void BM_TwinCalibration(benchmark::State& state) {
  const CalibrationPlan plan = ReadCalibrationPlan(kPlan);
  const CalibrationModel model(plan);
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("kvsorv-calibration-bench-" + std::to_string(getpid()) + ".nc"))
                               .string();
  for (auto _ : state) {
    std::filesystem::remove(file);
    Feedback feedback;
    const CalibrationOutcome outcome =
        RunCalibration(model, {.chainsFile = file, .threads = tasks::HardwareThreads()}, feedback);
    state.counters["generations"] = static_cast<double>(outcome.generations);
    state.counters["failed"] = static_cast<double>(outcome.failed);
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_TwinCalibration)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_PosteriorEvaluation(benchmark::State& state) {
  const CalibrationPlan plan = ReadCalibrationPlan(kPlan);
  const CalibrationModel model(plan);
  for (auto _ : state) benchmark::DoNotOptimize(model.Evaluate(plan.starts));
}
BENCHMARK(BM_PosteriorEvaluation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kvsorv::calibration
