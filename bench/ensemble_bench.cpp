// Members of an ensemble of the example site, 0 to 2000 years, keeping 20 outputs at every
// output line: members per second on one and on two threads, and the cost of a member beside
// the cost of its run alone (sampling aside: a design row is read, not drawn).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ensemble/design_file.h"
#include "ensemble/ensemble_runner.h"
#include "ensemble/plan.h"
#include "program/program_state.h"

namespace kvsorv::ensemble {
namespace {

constexpr int kMembers = 8;

struct Setup {
  EnsemblePlan plan;
  EnsembleSite site;
  Design design;
  std::filesystem::path directory;
};

Setup& Site() {
  static Setup s = [] {
    ResetProgramState();
    Setup setup;
    setup.directory = std::filesystem::temp_directory_path() / "kvsorv-ensemble-bench";
    std::filesystem::create_directories(setup.directory);
    const std::filesystem::path examples = std::filesystem::path(KVSORV_SOURCE_DIR) / "examples";
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"})
      std::filesystem::copy_file(examples / f, setup.directory / f,
                                 std::filesystem::copy_options::overwrite_existing);
    std::string plan = "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstop = 2000\nmembers = " +
                       std::to_string(kMembers) +
                       "\nseed = 1\n[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\n"
                       "min = 79.9\nmax = 80.1\n";
    for (const char* symbol : {"Cf",  "Cw",  "Cr", "Nf", "Nw", "Nr", "Clf", "Clw", "Clr",  "Nlf",
                               "Nlw", "Nlr", "Cs", "Ce", "Ci", "Ch", "Na",  "Nh",  "Nnh4", "NEP"})
      plan += std::string("[[output]]\nsymbol = \"") + symbol + "\"\nyearly = true\n";
    std::ofstream(setup.directory / "plan.toml") << plan;
    setup.plan = ReadPlan((setup.directory / "plan.toml").string());
    setup.site = LoadSite(setup.plan);
    setup.design = SampleDesign(setup.plan, Method::kLatinHypercube);
    return setup;
  }();
  return s;
}

long ResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_EnsembleMembers(benchmark::State& state) {
  Setup& s = Site();
  const int threads = static_cast<int>(state.range(0));
  const std::string results = (s.directory / "results.nc").string();
  for (auto _ : state) {
    state.PauseTiming();  // once per ensemble, not per member
    ResultsFile file = ResultsFile::Create(results, s.plan, s.site, s.design, "bench");
    state.ResumeTiming();
    RunMembers(s.plan, s.site, s.design, ShardMembers(kMembers, 1, 1), threads, file);
  }
  state.counters["members_per_s"] =
      benchmark::Counter(static_cast<double>(kMembers) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["max_resident_MB"] = static_cast<double>(ResidentKilobytes()) / 1024.0;
}
BENCHMARK(BM_EnsembleMembers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One member's run with nothing around it: the yardstick of the ensemble's overhead.
void BM_MemberRunAlone(benchmark::State& state) {
  Setup& s = Site();
  for (auto _ : state) {
    const MemberResult r = RunMember(s.plan, s.site, MemberParameters(s.design.rows[0]));
    benchmark::DoNotOptimize(r.values.data());
  }
}
BENCHMARK(BM_MemberRunAlone)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kvsorv::ensemble
