#include "analysis/failures.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "statistics/ranks.h"

namespace kvsorv::analysis {

namespace {

FailureRow Compare(const std::string& parameter, const std::vector<double>& failed,
                   const std::vector<double>& done) {
  // Mid-ranks of the pooled values, the failed ones first. Their sum is exact (whole and
  // half numbers), in any order.
  std::vector<double> pooled = failed;
  pooled.insert(pooled.end(), done.begin(), done.end());
  const statistics::Ranking ranking = statistics::AverageRanks(pooled);
  const double rankSum = std::accumulate(
      ranking.ranks.begin(), ranking.ranks.begin() + static_cast<long>(failed.size()), 0.0);
  const double ties = ranking.ties;
  const double n1 = static_cast<double>(failed.size()), n2 = static_cast<double>(done.size());
  const double n = n1 + n2;
  const double u = rankSum - n1 * (n1 + 1) / 2;
  const double variance = n1 * n2 / 12 * ((n + 1) - ties / (n * (n - 1)));
  FailureRow row;
  row.parameter = parameter;
  row.failed = static_cast<int>(failed.size());
  row.done = static_cast<int>(done.size());
  row.failedMean = std::accumulate(failed.begin(), failed.end(), 0.0) / n1;
  row.doneMean = std::accumulate(done.begin(), done.end(), 0.0) / n2;
  row.rankBiserial = 2 * u / (n1 * n2) - 1;
  row.pValue = variance > 0
                   ? std::erfc(std::fabs(u - n1 * n2 / 2) / std::sqrt(variance) / std::sqrt(2.0))
                   : 1.0;
  return row;
}

}  // namespace

FailureReport FailurePredictors(const EnsembleLayout& layout) {
  FailureReport report;
  report.members = layout.Members();
  for (const MemberState s : layout.states) {
    if (s == MemberState::kDone) ++report.done;
    if (s == MemberState::kFailed) ++report.failed;
    if (s == MemberState::kMissing) ++report.missing;
  }
  if (report.failed < kMinimumFailuresForPredictors || report.done < kMinimumFailuresForPredictors)
    return report;
  for (std::size_t j = 0; j < layout.parameters.size(); ++j) {
    std::vector<double> failed, done;
    for (std::size_t m = 0; m < layout.Members(); ++m) {
      const double x = layout.design[m][j];
      if (!std::isfinite(x)) continue;
      if (layout.states[m] == MemberState::kFailed) failed.push_back(x);
      if (layout.states[m] == MemberState::kDone) done.push_back(x);
    }
    if (!failed.empty() && !done.empty())
      report.predictors.push_back(Compare(layout.parameters[j], failed, done));
  }
  std::stable_sort(report.predictors.begin(), report.predictors.end(),
                   [](const FailureRow& a, const FailureRow& b) {
                     return std::fabs(a.rankBiserial) > std::fabs(b.rankBiserial);
                   });
  return report;
}

std::string FailureSummary(const FailureReport& report) {
  std::string text = std::to_string(report.members) + " members: " + std::to_string(report.done) +
                     " done, " + std::to_string(report.failed) + " failed, " +
                     std::to_string(report.missing) + " missing";
  if (report.failed > 0 && report.predictors.empty())
    text += " (too few failed or done members to rank the parameters by failure; " +
            std::to_string(kMinimumFailuresForPredictors) + " of each needed)";
  return text;
}

std::map<std::string, int> FailureReasons(const std::vector<std::string>& errors) {
  std::map<std::string, int> counts;
  for (const std::string& error : errors) {
    const std::string reason = error.substr(0, error.find('\n'));
    ++counts[reason.empty() ? "(no message)" : reason];
  }
  return counts;
}

}  // namespace kvsorv::analysis
