#include "statistics/ranks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace kvsorv::statistics {

Ranking AverageRanks(std::span<const double> values) {
  // Each value sorted beside its position: the comparisons then read memory in order, rather
  // than through a permutation.
  std::vector<std::pair<double, std::size_t>> order;
  order.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!std::isnan(values[i])) order.emplace_back(values[i], i);
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  Ranking r;
  r.ranks.assign(values.size(), std::numeric_limits<double>::quiet_NaN());
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i;  // [i, j] tie
    while (j + 1 < order.size() && order[j + 1].first == order[i].first) ++j;
    // The mean of ranks i + 1 .. j + 1: a whole or half number, exact in a double.
    const double rank = 0.5 * static_cast<double>(i + j) + 1;
    for (std::size_t k = i; k <= j; ++k) r.ranks[order[k].second] = rank;
    const auto t = static_cast<double>(j - i + 1);
    r.ties += t * t * t - t;
    i = j + 1;
  }
  return r;
}

}  // namespace kvsorv::statistics
