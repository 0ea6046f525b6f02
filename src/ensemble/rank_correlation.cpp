#include "ensemble/rank_correlation.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <numbers>
#include <numeric>

#include "ensemble/plan.h"
#include "ensemble/seeded_random.h"

namespace kvsorv::ensemble {

namespace {

Matrix Correlation(const Matrix& x) {
  const std::size_t n = x.size(), k = x.empty() ? 0 : x[0].size();
  std::vector<double> mean(k, 0.0), sd(k, 0.0);
  for (const auto& row : x)
    for (std::size_t j = 0; j < k; ++j) mean[j] += row[j] / static_cast<double>(n);
  Matrix c(k, std::vector<double>(k, 0.0));
  for (const auto& row : x)
    for (std::size_t a = 0; a < k; ++a)
      for (std::size_t b = 0; b < k; ++b) c[a][b] += (row[a] - mean[a]) * (row[b] - mean[b]);
  for (std::size_t j = 0; j < k; ++j) sd[j] = std::sqrt(c[j][j]);
  for (std::size_t a = 0; a < k; ++a)
    for (std::size_t b = 0; b < k; ++b) c[a][b] /= sd[a] * sd[b];
  return c;
}

// Solves L y = v for y (L lower triangular).
std::vector<double> ForwardSolve(const Matrix& l, const std::vector<double>& v) {
  std::vector<double> y(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    double s = v[i];
    for (std::size_t j = 0; j < i; ++j) s -= l[i][j] * y[j];
    y[i] = s / l[i][i];
  }
  return y;
}

}  // namespace

Matrix CorrelationMatrix(const EnsemblePlan& plan) {
  const std::size_t k = plan.parameters.size();
  Matrix m(k, std::vector<double>(k, 0.0));
  for (std::size_t i = 0; i < k; ++i) m[i][i] = 1.0;
  for (const RankCorrelation& c : plan.correlations) {
    m[static_cast<std::size_t>(c.a)][static_cast<std::size_t>(c.b)] = c.rho;
    m[static_cast<std::size_t>(c.b)][static_cast<std::size_t>(c.a)] = c.rho;
  }
  return m;
}

Matrix NormalScoreCorrelation(const Matrix& rank) {
  Matrix r = rank;
  for (std::size_t a = 0; a < r.size(); ++a)
    for (std::size_t b = 0; b < r.size(); ++b)
      if (a != b) r[a][b] = 2 * std::sin(std::numbers::pi * rank[a][b] / 6);
  return r;
}

// Written out rather than Eigen's LLT, which subtracts the products in another order and so
// changes the bits of the designs reordered by it (bench/cholesky_bench.cpp compares both).
std::optional<Matrix> CholeskyFactor(const Matrix& m) {
  const std::size_t k = m.size();
  Matrix l(k, std::vector<double>(k, 0.0));
  for (std::size_t i = 0; i < k; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      double s = m[i][j];
      for (std::size_t p = 0; p < j; ++p) s -= l[i][p] * l[j][p];
      if (i == j) {
        if (!(s > 1e-12)) return std::nullopt;
        l[i][i] = std::sqrt(s);
      } else {
        l[i][j] = s / l[j][j];
      }
    }
  }
  return l;
}

void ImposeRankCorrelation(Matrix& design, const Matrix& rankTarget, std::uint64_t seed) {
  const std::size_t n = design.size(), k = rankTarget.size();
  if (n < 3 || k < 2) return;
  // The ranks of normal scores with Pearson correlation r have the rank correlation
  // (6/pi) asin(r/2): the scores are given the r that yields the wanted rank correlation.
  const auto p = CholeskyFactor(NormalScoreCorrelation(rankTarget));
  if (!p) return;
  // Van der Waerden scores, each column in its own random order.
  const boost::math::normal_distribution<double> normal;
  std::vector<double> scores(n);
  for (std::size_t i = 0; i < n; ++i)
    scores[i] = boost::math::quantile(normal, (i + 1.0) / (n + 1.0));
  SeededEngine random(seed ^ 0x9e3779b97f4a7c15ULL);
  Matrix s(n, std::vector<double>(k));
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> column = scores;
    Shuffle(column, random);
    for (std::size_t i = 0; i < n; ++i) s[i][j] = column[i];
  }
  // Scores with the target correlation: T = S (Q^-1)^T P^T, E = Q Q^T their own correlation.
  // With fewer members than parameters E may be singular; the scores are then taken as
  // uncorrelated (T = S P^T), which still leans the ranks towards the target.
  const auto q = CholeskyFactor(Correlation(s));
  Matrix t(n, std::vector<double>(k, 0.0));
  for (std::size_t i = 0; i < n; ++i) {
    const std::vector<double> w = q ? ForwardSolve(*q, s[i]) : s[i];
    for (std::size_t a = 0; a < k; ++a)
      for (std::size_t b = 0; b <= a; ++b) t[i][a] += (*p)[a][b] * w[b];
  }
  // Each column's values, reordered to follow the ranks of T's column.
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i) values[i] = design[i][j];
    std::sort(values.begin(), values.end());
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    // Equal scores in member order: std::sort leaves the order of ties to the library.
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return t[a][j] < t[b][j] || (t[a][j] == t[b][j] && a < b);
    });
    for (std::size_t r = 0; r < n; ++r) design[order[r]][j] = values[r];
  }
}

}  // namespace kvsorv::ensemble
