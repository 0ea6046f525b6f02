#pragma once
// Spearman's rank correlation: the Pearson correlation of two series' average ranks.

#include <span>

namespace kvsorv::statistics {

// The rank correlation, in [-1, 1], over the pairs (a[i], b[i]) in which both are finite (the
// first min(a.size(), b.size()) pairs); ties share their mean rank. NaN with fewer than three
// such pairs or when either series is constant over them. No failures.
double RankCorrelation(std::span<const double> a, std::span<const double> b);

}  // namespace kvsorv::statistics
