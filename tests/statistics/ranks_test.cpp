// Average ranks: ties share the mean of the ranks they span, NaN values stay out.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

}  // namespace
}  // namespace kvsorv::statistics
