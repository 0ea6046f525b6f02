#include "statistics/ranks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvsorv::statistics {

Ranking AverageRanks(std::span<const double> values) {
  std::vector<std::size_t> order;
  order.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!std::isnan(values[i])) order.push_back(i);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
  Ranking r;
  r.ranks.assign(values.size(), std::numeric_limits<double>::quiet_NaN());
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i;  // [i, j] tie
    while (j + 1 < order.size() && values[order[j + 1]] == values[order[i]]) ++j;
    // The mean of ranks i + 1 .. j + 1: a whole or half number, exact in a double.
    const double rank = 0.5 * static_cast<double>(i + j) + 1;
    for (std::size_t k = i; k <= j; ++k) r.ranks[order[k]] = rank;
    const auto t = static_cast<double>(j - i + 1);
    r.ties += t * t * t - t;
    i = j + 1;
  }
  return r;
}

}  // namespace kvsorv::statistics
