// The Cholesky factor of the rank correlations' matrices (ensemble/rank_correlation.h) of 10
// and 40 parameters: the hand-written factor beside Eigen's LLT. `same_bits` says whether
// Eigen's factor is the hand-written one to the bit (the designs it reorders are stored and
// compared byte for byte).

#include <benchmark/benchmark.h>

#include <Eigen/Cholesky>
#include <cmath>
#include <random>

#include "ensemble/rank_correlation.h"

namespace kvsorv::ensemble {
namespace {

// The Pearson correlations of 200 random rows of k columns, as ImposeRankCorrelation factors.
Matrix CorrelationOfRandomRows(std::size_t k) {
  constexpr std::size_t kRows = 200;
  std::mt19937_64 g(k);
  std::normal_distribution<double> normal;
  Matrix x(kRows, std::vector<double>(k));
  for (auto& row : x)
    for (double& v : row) v = normal(g);
  std::vector<double> mean(k, 0.0);
  for (const auto& row : x)
    for (std::size_t j = 0; j < k; ++j) mean[j] += row[j] / kRows;
  Matrix c(k, std::vector<double>(k, 0.0));
  for (const auto& row : x)
    for (std::size_t a = 0; a < k; ++a)
      for (std::size_t b = 0; b < k; ++b) c[a][b] += (row[a] - mean[a]) * (row[b] - mean[b]);
  std::vector<double> sd(k);
  for (std::size_t j = 0; j < k; ++j) sd[j] = std::sqrt(c[j][j]);
  for (std::size_t a = 0; a < k; ++a)
    for (std::size_t b = 0; b < k; ++b) c[a][b] /= sd[a] * sd[b];
  return c;
}

std::optional<Matrix> EigenFactor(const Matrix& m) {
  const auto k = static_cast<Eigen::Index>(m.size());
  Eigen::MatrixXd a(k, k);
  for (Eigen::Index i = 0; i < k; ++i)
    for (Eigen::Index j = 0; j < k; ++j)
      a(i, j) = m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
  const Eigen::LLT<Eigen::MatrixXd> llt(a);
  if (llt.info() != Eigen::Success) return std::nullopt;
  const Eigen::MatrixXd l = llt.matrixL();
  Matrix out(m.size(), std::vector<double>(m.size()));
  for (Eigen::Index i = 0; i < k; ++i)
    for (Eigen::Index j = 0; j < k; ++j)
      out[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = l(i, j);
  return out;
}

void BM_CholeskyFactor(benchmark::State& state) {
  const Matrix m = CorrelationOfRandomRows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CholeskyFactor(m));
  if (!CholeskyFactor(m)) state.SkipWithError("the matrix is not positive definite");
}
BENCHMARK(BM_CholeskyFactor)->Arg(10)->Arg(40);

void BM_CholeskyFactorEigen(benchmark::State& state) {
  const Matrix m = CorrelationOfRandomRows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(EigenFactor(m));
  state.counters["same_bits"] = EigenFactor(m) == CholeskyFactor(m) ? 1 : 0;
}
BENCHMARK(BM_CholeskyFactorEigen)->Arg(10)->Arg(40);

}  // namespace
}  // namespace kvsorv::ensemble
