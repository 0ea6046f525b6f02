// Average ranks (ties share the mean of the ranks they span, NaN values stay out) and
// Spearman's rank correlation built on them.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "statistics/rank_correlation.h"
#include "statistics/ranks.h"

namespace kvsorv::statistics {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(AverageRanks, KnownValues_GiveTheirRanksAndTieCorrection) {
  struct Case {
    const char* what;
    std::vector<double> values, ranks;
    double ties;
  };
  const Case cases[] = {
      {"no ties", {3, 1, 2}, {3, 1, 2}, 0},
      {"a pair ties", {3, 5, 5, 9}, {1, 2.5, 2.5, 4}, 6},
      {"all tie", {7, 7, 7}, {2, 2, 2}, 24},
      {"a NaN is left out", {2, kNaN, 1}, {2, kNaN, 1}, 0},
      {"infinities rank last and first", {INFINITY, 0, -INFINITY}, {3, 2, 1}, 0},
      {"no values", {}, {}, 0},
  };
  for (const Case& c : cases) {
    const Ranking r = AverageRanks(c.values);
    ASSERT_EQ(r.ranks.size(), c.ranks.size()) << c.what;
    // Ranks are whole or half numbers: exact.
    for (std::size_t i = 0; i < c.ranks.size(); ++i) {
      if (std::isnan(c.ranks[i])) {
        EXPECT_TRUE(std::isnan(r.ranks[i])) << c.what << " " << i;
      } else {
        EXPECT_EQ(r.ranks[i], c.ranks[i]) << c.what << " " << i;
      }
    }
    EXPECT_EQ(r.ties, c.ties) << c.what;
  }
}

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
