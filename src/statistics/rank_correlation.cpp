#include "statistics/rank_correlation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "statistics/ranks.h"

namespace kvsorv::statistics {

double RankCorrelation(std::span<const double> a, std::span<const double> b) {
  std::vector<double> x, y;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (std::isfinite(a[i]) && std::isfinite(b[i])) x.push_back(a[i]), y.push_back(b[i]);
  if (x.size() < 3) return std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> rx = AverageRanks(x).ranks, ry = AverageRanks(y).ranks;
  const double mean = 0.5 * static_cast<double>(x.size() + 1);
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (rx[i] - mean) * (ry[i] - mean);
    sxx += (rx[i] - mean) * (rx[i] - mean);
    syy += (ry[i] - mean) * (ry[i] - mean);
  }
  if (sxx == 0 || syy == 0) return std::numeric_limits<double>::quiet_NaN();
  return sxy / std::sqrt(sxx * syy);
}

}  // namespace kvsorv::statistics
