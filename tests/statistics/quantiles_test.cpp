// Type-7 quantiles at the ends of the scale, between order statistics and of few values.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "statistics/quantiles.h"

namespace kvsorv::statistics {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Quantile, KnownValues_GiveTheInterpolatedOrderStatistic) {
  struct Case {
    const char* what;
    std::vector<double> values;
    double p, quantile;  // NaN: none
  };
  const Case cases[] = {
      {"p = 0 is the smallest", {5, 3, 9, 1}, 0, 1},
      {"p = 1 is the largest", {5, 3, 9, 1}, 1, 9},
      {"one value at p = 0", {4}, 0, 4},
      {"one value at p = 1", {4}, 1, 4},
      {"one value between", {4}, 0.3, 4},
      {"on an order statistic: 0.25 (5 - 1) = 1", {50, 10, 40, 20, 30}, 0.25, 20},
      {"between two: 0.5 (4 - 1) = 1.5", {4, 1, 3, 2}, 0.5, 2.5},
      {"between two: 0.05 (2 - 1)", {0, 10}, 0.05, 0.5},
      {"ties", {2, 2, 2, 7}, 0.5, 2},
      {"NaN values are left out", {kNaN, 3, kNaN, 1}, 0.5, 2},
      {"only NaN values", {kNaN, kNaN}, 0.5, kNaN},
      {"no values", {}, 0.5, kNaN},
  };
  constexpr double kTolerance = 1e-12;
  for (const Case& c : cases) {
    std::vector<double> values = c.values;
    const double q = Quantile(values, c.p);
    if (std::isnan(c.quantile)) {
      EXPECT_TRUE(std::isnan(q)) << c.what;
    } else {
      EXPECT_NEAR(q, c.quantile, kTolerance) << c.what;
    }
  }
}

// Levels in any order, also falling, give the quantiles of one level at a time, to the bit.
TEST(Quantiles, LevelsInAnyOrder_GiveTheQuantilesOneAtATime) {
  const std::vector<double> values = {8, 3, 3, 11, -2, 7, 0.5, 6, 6, 14, 1};
  const double levels[] = {0.05, 0.9, 0.25, 0.25, 1, 0, 0.5};
  std::vector<double> copy = values;
  double together[std::size(levels)];
  Quantiles(copy, levels, together);
  for (std::size_t q = 0; q < std::size(levels); ++q) {
    copy = values;
    EXPECT_EQ(together[q], Quantile(copy, levels[q])) << levels[q];
  }
}

}  // namespace
}  // namespace kvsorv::statistics
