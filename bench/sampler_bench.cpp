// The samplers of calibration: their own cost per draw (a chain's move, proposal and
// decision), with a target that returns at once, of 4 and 10 parameters on 4 chains; and
// the wall-clock of a generation of 4 chains whose target burns about 10 ms of CPU per
// evaluation, on one and on two threads (the second should take half the time of the first).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "calibration/adaptive_metropolis.h"
#include "calibration/dezs_sampler.h"
#include "calibration/sampler_draws.h"
#include "ensemble/seeded_random.h"

namespace kvsorv::calibration {
namespace {

constexpr int kChains = 4;

double StandardNormalDensity(const std::vector<double>& x) {
  double l = 0;
  for (const double v : x) l -= 0.5 * v * v;
  return l;
}

Evaluation AtOnce(const std::vector<double>& x) {
  const double l = StandardNormalDensity(x);
  return {.logPosterior = l, .logLikelihood = l};
}

std::vector<double> Draw(ensemble::SeededEngine& g, std::size_t d) {
  std::vector<double> x(d);
  for (double& v : x) v = StandardNormal(g);
  return x;
}

std::vector<ChainState> Starts(std::size_t d) {
  ensemble::SeededEngine g = ensemble::StreamEngine(1, 0, 0);
  std::vector<ChainState> start;
  for (int c = 0; c < kChains; ++c) {
    const std::vector<double> x = Draw(g, d);
    start.push_back({x, AtOnce(x)});
  }
  return start;
}

std::unique_ptr<Sampler> Dezs(std::size_t d) {
  ensemble::SeededEngine g = ensemble::StreamEngine(1, 1, 0);
  std::vector<std::vector<double>> archive(10 * d);
  for (auto& z : archive) z = Draw(g, d);
  return MakeDezsSampler({.seed = 1, .scale = std::vector<double>(d, 1.0)}, std::move(archive),
                         Starts(d));
}

std::unique_ptr<Sampler> Adaptive(std::size_t d) {
  return MakeAdaptiveMetropolisSampler(
      {.seed = 1, .initialSpread = std::vector<double>(d, 0.5), .adaptAfter = 100}, Starts(d));
}

// Each iteration: a new sampler and 1000 generations on one thread (the archive and the
// adapted covariance grow as in a calibration's first thousand).
template <std::unique_ptr<Sampler> (*Make)(std::size_t)>
void BM_OwnCostPerDraw(benchmark::State& state) {
  constexpr int kGenerations = 1000;
  const auto d = static_cast<std::size_t>(state.range(0));
  const Target target = AtOnce;
  for (auto _ : state) {
    const auto sampler = Make(d);
    for (int t = 0; t < kGenerations; ++t) benchmark::DoNotOptimize(&sampler->Step(target, 1));
  }
  state.counters["per_draw"] =
      benchmark::Counter(kGenerations * kChains, benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}
BENCHMARK(BM_OwnCostPerDraw<Dezs>)
    ->Name("BM_OwnCostPerDraw/dezs")
    ->Arg(4)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OwnCostPerDraw<Adaptive>)
    ->Name("BM_OwnCostPerDraw/adaptive_metropolis")
    ->Arg(4)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);

// A chain of dependent multiplications and additions, `n` long: CPU work that no compiler
// can shorten or spread over vector lanes.
double Busy(double x, std::uint64_t n) {
  for (std::uint64_t i = 0; i < n; ++i) x = x * 0.9999999 + 1e-7;
  return x;
}

// The length of Busy that takes about 10 ms on this machine, measured once.
std::uint64_t TenMilliseconds() {
  static const std::uint64_t n = [] {
    constexpr std::uint64_t kProbe = 1 << 22;
    const auto begin = std::chrono::steady_clock::now();
    double start = 1;
    benchmark::DoNotOptimize(start);  // known only now: Busy runs between the clock's reads
    benchmark::DoNotOptimize(Busy(start, kProbe));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    return static_cast<std::uint64_t>(kProbe * 0.010 / took.count());
  }();
  return n;
}

// One generation of DE-MCzs, 4 parameters, per iteration; the argument is the threads.
void BM_GenerationOfSlowRuns(benchmark::State& state) {
  const std::uint64_t n = TenMilliseconds();
  const Target target = [n](const std::vector<double>& x) {
    benchmark::DoNotOptimize(Busy(x[0], n));
    return AtOnce(x);
  };
  const auto sampler = Dezs(4);
  for (auto _ : state)
    benchmark::DoNotOptimize(&sampler->Step(target, static_cast<std::size_t>(state.range(0))));
  state.counters["evaluations"] =
      benchmark::Counter(kChains, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GenerationOfSlowRuns)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

}  // namespace
}  // namespace kvsorv::calibration
