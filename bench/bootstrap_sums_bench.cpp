// The bootstrap's resample sums of a Sobol analysis of 8 parameters (24 term columns), 1000
// base points and 200 resamples: each hand-written kernel this machine runs, beside Eigen's
// matrix product of the same weights and terms. `same_bits` says whether Eigen's sums are
// those of the plain kernel to the bit (the analyses' CSV files are compared byte for byte).

#include <benchmark/benchmark.h>

#include <Eigen/Core>
#include <cstring>
#include <random>
#include <vector>

#include "statistics/bootstrap_sums.h"

namespace kvsorv::statistics {
namespace {

constexpr std::size_t kWidth = 24, kPoints = 1000, kResamples = 200;

struct Inputs {
  std::vector<double> x, weights;
};

const Inputs& TheInputs() {
  static const Inputs inputs = [] {
    Inputs in;
    std::mt19937_64 g(5);
    in.x.resize(kPoints * kWidth);
    for (double& v : in.x) v = std::uniform_real_distribution<double>(-3, 3)(g);
    in.weights.assign(kResamples * kPoints, 0.0);
    for (std::size_t b = 0; b < kResamples; ++b)
      for (std::size_t i = 0; i < kPoints; ++i) in.weights[b * kPoints + g() % kPoints] += 1;
    return in;
  }();
  return inputs;
}

using RowMajor = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

void EigenSums(const Inputs& in, double* sums) {
  const Eigen::Map<const RowMajor> x(in.x.data(), kPoints, kWidth);
  const Eigen::Map<const RowMajor> w(in.weights.data(), kResamples, kPoints);
  Eigen::Map<RowMajor>(sums, kResamples, kWidth).noalias() = w * x;
}

void BM_BootstrapSums(benchmark::State& state, BootstrapKernel kernel) {
  const Inputs& in = TheInputs();
  std::vector<double> sums(kResamples * kWidth);
  for (auto _ : state) {
    kernel(in.x.data(), kWidth, kPoints, in.weights.data(), kResamples, sums.data());
    benchmark::DoNotOptimize(sums.data());
  }
}

void BM_BootstrapSumsEigen(benchmark::State& state) {
  const Inputs& in = TheInputs();
  std::vector<double> sums(kResamples * kWidth), plain(kResamples * kWidth);
  for (auto _ : state) {
    EigenSums(in, sums.data());
    benchmark::DoNotOptimize(sums.data());
  }
  BootstrapKernels().front().kernel(in.x.data(), kWidth, kPoints, in.weights.data(), kResamples,
                                    plain.data());
  state.counters["same_bits"] =
      std::memcmp(sums.data(), plain.data(), sums.size() * sizeof(double)) == 0 ? 1 : 0;
}
BENCHMARK(BM_BootstrapSumsEigen)->Unit(benchmark::kMicrosecond);

const bool registered = [] {
  for (const NamedBootstrapKernel& k : BootstrapKernels())
    benchmark::RegisterBenchmark((std::string("BM_BootstrapSums/") + k.name).c_str(),
                                 BM_BootstrapSums, k.kernel)
        ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace
}  // namespace kvsorv::statistics
