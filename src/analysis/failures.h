#pragma once
// Which parameters predict a member's failure. For each parameter, the values of the failed
// members are compared with those of the members done by the Mann-Whitney U statistic (U
// counts the pairs, one failed and one done member, where the failed member's value is the
// larger, ties counting half), reported as the rank-biserial correlation
//   r = 2 U / (n_failed n_done) - 1,
// from -1 (every failed member has a smaller value than every member done) through 0 (no
// relation) to +1 (every one larger), with the two-sided p-value of U's normal approximation
// (corrected for ties). Missing members take no part.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "analysis/series_source.h"

namespace kvsorv::analysis {

// With fewer failed members (or members done) the statistic says nothing.
inline constexpr std::size_t kMinimumFailuresForPredictors = 3;

struct FailureRow {
  std::string parameter;
  double failedMean = 0, doneMean = 0;
  double rankBiserial = 0;
  double pValue = 1;
  int failed = 0, done = 0;  // members compared
};

struct FailureReport {
  std::size_t members = 0, done = 0, failed = 0, missing = 0;
  std::vector<FailureRow> predictors;  // strongest |r| first; empty with too few failures
};

FailureReport FailurePredictors(const EnsembleLayout& layout);

// "N members: D done, F failed, M missing" and, when failures were too few to rank the
// parameters, why the table is empty.
std::string FailureSummary(const FailureReport& report);

// Failed members counted by the first line of their error text ("(no message)" for an empty
// one), in the order of the reasons.
std::map<std::string, int> FailureReasons(const std::vector<std::string>& errors);

}  // namespace kvsorv::analysis
