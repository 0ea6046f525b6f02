// The convergence diagnostics of 16 AR(1) chains (phi = 0.9) of 100,000 draws each: ranks,
// quantiles and three effective sizes by FFT.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "ensemble/distribution.h"
#include "ensemble/seeded_random.h"
#include "statistics/convergence.h"

namespace kvsorv::statistics {
namespace {

constexpr std::size_t kChains = 16, kDraws = 100000;

const std::vector<std::vector<double>>& TheChains() {
  static const std::vector<std::vector<double>> chains = [] {
    std::vector<std::vector<double>> c(kChains, std::vector<double>(kDraws));
    for (std::size_t m = 0; m < kChains; ++m) {
      ensemble::SeededEngine g = ensemble::StreamEngine(7, 0, m);
      double x = 0;
      for (double& v : c[m]) {
        x = 0.9 * x + std::sqrt(1 - 0.81) *
                          ensemble::Quantile(ensemble::Normal{0, 1}, ensemble::Uniform01(g));
        v = x;
      }
    }
    return c;
  }();
  return chains;
}

void BM_Diagnose(benchmark::State& state) {
  const auto& chains = TheChains();
  for (auto _ : state) benchmark::DoNotOptimize(Diagnose(chains));
  state.counters["ess_bulk"] = Diagnose(chains).essBulk;
}
BENCHMARK(BM_Diagnose)->Unit(benchmark::kMillisecond);

void BM_EffectiveSampleSize(benchmark::State& state) {
  const auto& chains = TheChains();
  for (auto _ : state) benchmark::DoNotOptimize(EffectiveSampleSize(chains));
}
BENCHMARK(BM_EffectiveSampleSize)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kvsorv::statistics
