#include "statistics/quantiles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvsorv::statistics {

void Quantiles(std::span<double> values, std::span<const double> levels, std::span<double> out) {
  double* begin = values.data();
  double* end =
      std::remove_if(begin, begin + values.size(), [](double x) { return std::isnan(x); });
  const auto count = static_cast<std::size_t>(end - begin);
  if (count == 0) {
    std::fill(out.begin(), out.begin() + static_cast<long>(levels.size()),
              std::numeric_limits<double>::quiet_NaN());
    return;
  }
  const auto c = static_cast<double>(count);
  // Once the value at position lo is selected, everything from it on is at least as large:
  // a later position is selected among those alone.
  double* from = begin;
  for (std::size_t q = 0; q < levels.size(); ++q) {
    const double at = levels[q] * (c - 1);
    const auto lo = static_cast<std::size_t>(std::floor(at));
    double* nth = begin + lo;
    if (nth < from) from = begin;
    std::nth_element(from, nth, end);
    const double next = lo + 1 < count ? *std::min_element(nth + 1, end) : *nth;
    out[q] = *nth + (at - static_cast<double>(lo)) * (next - *nth);
    from = nth;
  }
}

double Quantile(std::span<double> values, double p) {
  double q = 0;
  Quantiles(values, {&p, 1}, {&q, 1});
  return q;
}

}  // namespace kvsorv::statistics
