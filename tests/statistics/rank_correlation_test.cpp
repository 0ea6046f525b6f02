// Spearman's rank correlation of known series, with ties, non-finite pairs and too few pairs.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "statistics/rank_correlation.h"

namespace kvsorv::statistics {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RankCorrelation, KnownSeries_GiveTheirSpearmanCoefficient) {
  struct Case {
    const char* what;
    std::vector<double> a, b;
    double rho;  // NaN: none
  };
  const Case cases[] = {
      {"monotone rising", {1, 2, 3, 4}, {10, 20, 25, 1000}, 1.0},
      {"monotone falling", {1, 2, 3, 4}, {4, 3, 2, 1}, -1.0},
      {"non-finite pairs left out", {1, kNaN, 2, 3, 4}, {1, 5, 2, 3, 4}, 1.0},
      // Ranks of b with ties (1.5, 1.5, 3, 4) against 1..4: 4.5 / sqrt(5 * 4.5).
      {"ties share their mean rank", {1, 2, 3, 4}, {7, 7, 8, 9}, 4.5 / std::sqrt(22.5)},
      {"the longer series' extra values unused", {1, 2, 3}, {3, 2, 1, 50, 60}, -1.0},
      {"fewer than three pairs", {1, 2}, {1, 2}, kNaN},
      {"a constant series", {1, 2, 3}, {5, 5, 5}, kNaN},
      {"no values", {}, {}, kNaN},
  };
  constexpr double kTolerance = 1e-12;
  for (const Case& c : cases) {
    const double rho = RankCorrelation(c.a, c.b);
    if (std::isnan(c.rho)) {
      EXPECT_TRUE(std::isnan(rho)) << c.what;
    } else {
      EXPECT_NEAR(rho, c.rho, kTolerance) << c.what;
    }
  }
}

}  // namespace
}  // namespace kvsorv::statistics
