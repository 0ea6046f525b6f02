#pragma once
// Average ranks: the smallest value ranks 1, and values that tie share the mean of the ranks
// they span (3, 5, 5, 9 rank 1, 2.5, 2.5, 4), as rank correlations and rank tests need them.

#include <span>
#include <vector>

namespace kvsorv::statistics {

struct Ranking {
  std::vector<double> ranks;  // one per value, in the values' order; NaN for a NaN value
  // The sum of t^3 - t over the groups of t equal values (0 without ties): the tie correction
  // of rank tests' variances.
  double ties = 0;
};

// The values' average ranks. A NaN value is left out: its rank is NaN, and the other values
// rank from 1 among themselves. Infinities rank as the largest or smallest values. No
// failures.
Ranking AverageRanks(std::span<const double> values);

}  // namespace kvsorv::statistics
