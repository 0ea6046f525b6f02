#include "analysis/estimators.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

namespace kvsorv::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Indices {
  std::vector<double> first, total;
};

// Saltelli's first-order and Jansen's total estimators over the chosen base points.
Indices Estimate(const std::vector<const double*>& points, int k) {
  const auto n = static_cast<double>(points.size());
  double mean = 0.0;
  for (const double* p : points) mean += (p[0] + p[k + 1]) / (2.0 * n);
  double variance = 0.0;
  for (const double* p : points)
    variance += ((p[0] - mean) * (p[0] - mean) + (p[k + 1] - mean) * (p[k + 1] - mean)) / (2 * n);
  Indices r{std::vector<double>(static_cast<std::size_t>(k)),
            std::vector<double>(static_cast<std::size_t>(k))};
  for (int j = 0; j < k; ++j) {
    double s = 0.0, st = 0.0;
    for (const double* p : points) {
      const double a = p[0], ab = p[j + 1], b = p[k + 1];
      s += b * (ab - a);
      st += (a - ab) * (a - ab);
    }
    r.first[static_cast<std::size_t>(j)] = variance > 0 ? s / n / variance : kNaN;
    r.total[static_cast<std::size_t>(j)] = variance > 0 ? st / (2 * n) / variance : kNaN;
  }
  return r;
}

double Quantile(std::vector<double>& sorted, double q) {
  if (sorted.empty()) return kNaN;
  const double at = q * static_cast<double>(sorted.size() - 1);
  const auto lo = static_cast<std::size_t>(std::floor(at));
  const auto hi = std::min(lo + 1, sorted.size() - 1);
  return sorted[lo] + (at - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]);
}

}  // namespace

SobolIndices SobolFromCrossSample(const std::vector<double>& outputs, int k, int bootstrap,
                                  double confidence, std::uint64_t seed) {
  const auto width = static_cast<std::size_t>(k + 2);
  if (k < 1 || outputs.size() % width != 0)
    throw std::invalid_argument("the outputs do not fill whole base points of " +
                                std::to_string(width) + " rows (A, AB_1 .. AB_k, B)");
  std::vector<const double*> points;
  for (std::size_t i = 0; i < outputs.size(); i += width) {
    const bool finite = std::all_of(outputs.begin() + static_cast<std::ptrdiff_t>(i),
                                    outputs.begin() + static_cast<std::ptrdiff_t>(i + width),
                                    [](double y) { return std::isfinite(y); });
    if (finite) points.push_back(outputs.data() + i);
  }
  if (points.size() < 2)
    throw std::invalid_argument("fewer than two base points have every output: " +
                                std::to_string(points.size()));
  const Indices whole = Estimate(points, k);
  SobolIndices r;
  r.first = whole.first;
  r.total = whole.total;
  r.usedBasePoints = static_cast<int>(points.size());

  std::vector<std::vector<double>> firsts(static_cast<std::size_t>(k)), totals(firsts);
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::size_t> pick(0, points.size() - 1);
  std::vector<const double*> resample(points.size());
  for (int b = 0; b < bootstrap; ++b) {
    for (auto& p : resample) p = points[pick(random)];
    const Indices e = Estimate(resample, k);
    for (std::size_t j = 0; j < firsts.size(); ++j) {
      firsts[j].push_back(e.first[j]);
      totals[j].push_back(e.total[j]);
    }
  }
  const double tail = (1.0 - confidence) / 2.0;
  for (std::size_t j = 0; j < firsts.size(); ++j) {
    std::sort(firsts[j].begin(), firsts[j].end());
    std::sort(totals[j].begin(), totals[j].end());
    r.firstLow.push_back(Quantile(firsts[j], tail));
    r.firstHigh.push_back(Quantile(firsts[j], 1 - tail));
    r.totalLow.push_back(Quantile(totals[j], tail));
    r.totalHigh.push_back(Quantile(totals[j], 1 - tail));
  }
  return r;
}

MorrisEffects MorrisFromTrajectories(const std::vector<std::vector<double>>& design,
                                     const std::vector<double>& outputs,
                                     const std::vector<double>& ranges) {
  const std::size_t k = ranges.size();
  if (design.size() != outputs.size() || design.size() % (k + 1) != 0)
    throw std::invalid_argument("the design and outputs do not fill whole trajectories of " +
                                std::to_string(k + 1) + " rows");
  std::vector<std::vector<double>> effects(k);
  for (std::size_t start = 0; start < design.size(); start += k + 1) {
    for (std::size_t s = start + 1; s < start + k + 1; ++s) {
      std::size_t moved = k;
      for (std::size_t j = 0; j < k; ++j)
        if (design[s][j] != design[s - 1][j]) moved = j;
      if (moved == k || !std::isfinite(outputs[s]) || !std::isfinite(outputs[s - 1])) continue;
      const double step = (design[s][moved] - design[s - 1][moved]) / ranges[moved];
      effects[moved].push_back((outputs[s] - outputs[s - 1]) / step);
    }
  }
  MorrisEffects r;
  for (const auto& e : effects) {
    const auto n = static_cast<double>(e.size());
    double mu = 0, muStar = 0;
    for (const double x : e) mu += x / n, muStar += std::fabs(x) / n;
    double var = 0;
    for (const double x : e) var += (x - mu) * (x - mu) / std::max(n - 1, 1.0);
    r.mu.push_back(e.empty() ? kNaN : mu);
    r.muStar.push_back(e.empty() ? kNaN : muStar);
    r.sigma.push_back(e.size() < 2 ? kNaN : std::sqrt(var));
    r.effects.push_back(static_cast<int>(e.size()));
  }
  return r;
}

Envelope EnvelopeOf(std::vector<double> values) {
  values.erase(
      std::remove_if(values.begin(), values.end(), [](double x) { return !std::isfinite(x); }),
      values.end());
  Envelope e;
  e.members = static_cast<int>(values.size());
  if (values.empty()) {
    e.mean = e.sd = e.min = e.max = e.q05 = e.q25 = e.q50 = e.q75 = e.q95 = kNaN;
    return e;
  }
  std::sort(values.begin(), values.end());
  const auto n = static_cast<double>(values.size());
  for (const double x : values) e.mean += x / n;
  for (const double x : values) e.sd += (x - e.mean) * (x - e.mean) / std::max(n - 1, 1.0);
  e.sd = std::sqrt(e.sd);
  e.min = values.front();
  e.max = values.back();
  e.q05 = Quantile(values, 0.05);
  e.q25 = Quantile(values, 0.25);
  e.q50 = Quantile(values, 0.50);
  e.q75 = Quantile(values, 0.75);
  e.q95 = Quantile(values, 0.95);
  return e;
}

}  // namespace kvsorv::analysis
