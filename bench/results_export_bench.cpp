// `ensemble export` of a results file of 1000 members, 3 outputs at 400 times (1.2 million
// rows), made in the temporary directory and removed after: the time to write the CSV table.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <string>

#include "ensemble/results_export.h"
#include "ensemble/results_file.h"
#include "ensemble/sampling.h"

namespace kvsorv::ensemble {
namespace {

constexpr int kMembers = 1000, kOutputs = 3, kTimes = 400;

std::string MakeFile() {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("kvsorv-export-bench-" + std::to_string(getpid()) + ".nc");
  EnsemblePlan plan;
  plan.file = "bench.toml";
  plan.members = kMembers;
  for (int j = 0; j < 4; ++j)
    plan.parameters.push_back({"p" + std::to_string(j), 0, Uniform{0.0, 1.0}});
  EnsembleSite site;
  for (int t = 0; t < kTimes; ++t) site.times.push_back(1600.0 + t);
  site.variables = {"Cf", "Cw", "NEP"};
  const Design design = SampleDesign(plan, Method::kLatinHypercube);
  ResultsFile results = ResultsFile::Create(file.string(), plan, site, design, "bench");
  MemberResult member;
  member.values.resize(kTimes * kOutputs);
  for (std::size_t m = 0; m < design.rows.size(); ++m) {
    for (int i = 0; i < kTimes * kOutputs; ++i)
      member.values[i] = 100.0 * design.rows[m][0] + std::sin(0.01 * i) * design.rows[m][1];
    results.WriteMember(m, design.rows[m], member);
  }
  return file.string();
}

void BM_ExportTidyCsv(benchmark::State& state) {
  const std::string file = MakeFile();
  const std::string csv = file + ".csv";
  for (auto _ : state) ExportTidyCsv(ResultsFile::OpenToRead(file), csv);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(csv)) / 1e6;
  std::filesystem::remove(file);
  std::filesystem::remove(csv);
}
BENCHMARK(BM_ExportTidyCsv)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace kvsorv::ensemble
