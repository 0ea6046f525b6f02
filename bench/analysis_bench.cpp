// Analyses of a large results file made here, without model runs: 10,000 members, 20 outputs
// at 400 times (640 MB of values as doubles), a Sobol design of 8 parameters (1000 base
// points) and a Morris design of 9 (1000 trajectories), made once in the temporary directory; the
// envelope, Sobol indices with their bootstrap, and Morris effects of every output at every time.
// Reports each analysis's time and the process's peak resident memory.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "analysis/envelope_over_time.h"
#include "analysis/morris_over_time.h"
#include "analysis/results_reader.h"
#include "analysis/sobol_over_time.h"
#include "ensemble/results_file.h"
#include "ensemble/sampling.h"

namespace kvsorv::analysis {
namespace {

using namespace kvsorv::ensemble;

constexpr int kOutputs = 20;
constexpr int kTimes = 400;

// A smooth, nonlinear model of k parameters in [0, 1] with outputs that drift over time.
void Outputs(const std::vector<double>& theta, std::vector<double>& values) {
  const std::size_t k = theta.size();
  double base = 0;
  for (std::size_t j = 0; j < k; ++j) base += (1.0 + static_cast<double>(j)) * theta[j] * theta[j];
  base += std::sin(6.0 * theta[0]) * theta[1 % k];
  values.resize(kTimes * kOutputs);
  for (int t = 0; t < kTimes; ++t)
    for (int v = 0; v < kOutputs; ++v)
      values[t * kOutputs + v] = (1000.0 + 10.0 * v) * (1.0 + 0.001 * t) +
                                 base * (1.0 + 0.01 * v) * std::cos(0.01 * t * (v + 1));
}

std::string MakeFile(Method method, int k) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("kvsorv-analysis-bench-format" + std::to_string(kResultsFormat) + "-" +
       std::string(MethodName(method)) + ".nc");
  if (std::filesystem::exists(file)) {  // made by an earlier run: reused while it matches
    try {
      const ResultsFile old = ResultsFile::OpenToRead(file.string());
      if (old.Describe().designMethod == MethodName(method) && old.Members() >= 9990 &&
          old.Statuses().back() == MemberStatus::kDone)
        return file.string();
    } catch (const std::exception&) {
    }
  }
  EnsemblePlan plan;
  plan.file = "bench.toml";
  plan.members = method == Method::kSobol ? 10000 / (k + 2) : 10000 / (k + 1);
  for (int j = 0; j < k; ++j)
    plan.parameters.push_back({"p" + std::to_string(j), 0, Uniform{0.0, 1.0}});
  EnsembleSite site;
  for (int t = 0; t < kTimes; ++t) site.times.push_back(1600.0 + t);
  for (int v = 0; v < kOutputs; ++v) site.variables.push_back("y" + std::to_string(v));
  const Design design = SampleDesign(plan, method);
  ResultsFile results = ResultsFile::Create(file.string(), plan, site, design, "bench");
  MemberResult member;
  for (std::size_t m = 0; m < design.rows.size(); ++m) {
    Outputs(design.rows[m], member.values);
    results.WriteMember(m, design.rows[m], member);
  }
  return file.string();
}

const std::string& SobolFile() {
  static const std::string file = MakeFile(Method::kSobol, 8);
  return file;
}

const std::string& MorrisFile() {
  static const std::string file = MakeFile(Method::kMorris, 9);
  return file;
}

void Report(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["max_resident_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReadOnly(benchmark::State& state) {
  const std::string& file = SobolFile();
  for (auto _ : state) {
    auto source = OpenResults(file);
    double sum = 0;
    source->ForEachBatch(kBatchBytes, [&](const SeriesBatch& b) { sum += b.values[0]; });
    benchmark::DoNotOptimize(sum);
  }
  Report(state);
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_Envelope(benchmark::State& state) {
  const std::string& file = SobolFile();
  for (auto _ : state) {
    auto source = OpenResults(file);
    benchmark::DoNotOptimize(EnvelopeOverTime(*source).rows.data());
  }
  Report(state);
}
BENCHMARK(BM_Envelope)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_Sobol(benchmark::State& state) {
  const std::string& file = SobolFile();
  for (auto _ : state) {
    auto source = OpenResults(file);
    benchmark::DoNotOptimize(SobolOverTime(*source).rows.data());
  }
  Report(state);
}
BENCHMARK(BM_Sobol)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_Morris(benchmark::State& state) {
  const std::string& file = MorrisFile();
  for (auto _ : state) {
    auto source = OpenResults(file);
    benchmark::DoNotOptimize(MorrisOverTime(*source).rows.data());
  }
  Report(state);
}
BENCHMARK(BM_Morris)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace kvsorv::analysis
