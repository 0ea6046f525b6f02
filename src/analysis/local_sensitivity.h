#pragma once
// Local sensitivity of every selected output at every selected time, from a one-at-a-time
// design (ensemble/sampling.h: the medians, then for each parameter the rows at 1 - h, 1 + h,
// 1 - h/2, 1 + h/2 times its median). The normalised coefficient of parameter j is
//   S_j = (y(+) - y(-)) / (theta(+) - theta(-)) * theta_0 / y_0,
// a central difference from the members' own parameter values, at step h and at h/2. Central
// differences err by O(h²), so S_h - S_h/2 estimates three quarters of S_h's error: where it
// exceeds the tolerance, the step is too coarse (or the output not smooth) there.

#include <string>
#include <vector>

#include "analysis/estimate_stability.h"
#include "analysis/series_source.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

struct LocalOptions {
  // |S_h - S_h/2| <= tolerance * max(1, |S_h/2|) passes the step-halving check.
  double tolerance = 0.01;
};

struct LocalRow {
  std::string output;
  double time = 0;
  std::string parameter;
  // S at step h; NaN where y_0 is zero (|y_0| <= 1e-8 max |y| over the members) or a
  // member is not done
  double coefficient = 0;
  double halfStep = 0;    // S at step h/2
  double difference = 0;  // coefficient - halfStep
  bool withinTolerance = true;
  Stability stability{};  // LocalStability: unstable where the step-halving check fails
};

struct LocalSummaryRow {
  std::string output;
  std::string parameter;
  double l1 = 0, l2 = 0;  // sum |S| / n and sqrt(sum S² / n) over the n times with a value
  double mean = 0, min = 0, max = 0;
  int times = 0;  // n
};

struct LocalResult {
  std::vector<LocalRow> rows;  // output, time, then parameter
  std::vector<std::string> parameters;
  std::vector<std::string> notes;     // empty cells and their cause
  std::vector<std::string> warnings;  // where the step-halving check fails
};

// Failures: EAnalysisError when the design is not one-at-a-time, its members are not 1 + 4k,
// or the member at the medians is not done; EAnalysisCanceled (see EnvelopeOverTime for the
// feedback).
LocalResult LocalOverTime(SeriesSource& source, const LocalOptions& options = {},
                          Feedback* feedback = nullptr);

// The norms of each output's coefficients over its times, as a sensitivity summary.
std::vector<LocalSummaryRow> SummariseLocal(const LocalResult& local);

}  // namespace kvsorv::analysis
