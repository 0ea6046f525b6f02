#pragma once
// Sobol indices of every selected output at every selected time, from a results file or table
// laid out as the Sobol design writes it: for each of N base points the k + 2 members A,
// AB_1 .. AB_k, B. First-order indices by Saltelli's estimator, total ones by Jansen's, with
// percentile bootstrap intervals over the base points; and the same indices from the first
// N/2 and N/4 base points, to see whether they have settled.
//
// A base point counts for a series when all its k + 2 values are finite. One set of bootstrap
// resamples serves every series: resample b draws the same base points for all of them.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/estimate_stability.h"
#include "analysis/series_source.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

// Fewer base points whose members are all done give indices too rough to read (the N/4
// convergence row would rest on fewer than 4).
inline constexpr int kMinimumBasePoints = 16;
// Resamples of the bootstrap unless asked otherwise: interval ends settle to about 0.01 for
// 200, and a file of 10,000 members, 20 outputs and 400 times is analysed in a few seconds.
inline constexpr int kDefaultResamples = 200;

struct SobolOptions {
  int resamples = kDefaultResamples;
  double confidence = 0.95;  // of the bootstrap interval
  std::uint64_t seed = 1;    // of the resamples
};

struct SobolRow {
  std::string output;
  double time = 0;
  std::string parameter;
  double s1 = 0, s1Low = 0, s1High = 0;  // NaN where not computable (zero variance)
  double st = 0, stLow = 0, stHigh = 0;
  int basePoints = 0;                      // base points with all k + 2 values finite
  int designBasePoints = 0;                // N, of the design
  Stability s1Stability{}, stStability{};  // SobolIndexStability of each index
};

struct ConvergenceRow {
  std::string output;
  double time = 0;
  std::string parameter;
  int basePoints = 0;  // of the first N, N/2 or N/4 base points, those that count
  double s1 = 0, st = 0;
  int firstBasePoints = 0;  // N, N/2 or N/4
};

struct SobolResult {
  std::vector<SobolRow> rows;               // output, time, then parameter
  std::vector<ConvergenceRow> convergence;  // output, time, parameter, then N, N/2, N/4
  std::vector<std::string> notes;           // series whose indices are left empty, and why
  std::vector<std::string> warnings;        // unstable indices (UnstableSummary's lines)
  int basePoints = 0;                       // N, in the design
  int completeBasePoints = 0;               // whose members are all done
};

// Failures: EAnalysisError when the design is not a Sobol design, when its members do not fill
// whole base points, or when fewer than kMinimumBasePoints base points have all members done
// (naming how many do); EAnalysisCanceled (see EnvelopeOverTime for the feedback).
SobolResult SobolOverTime(SeriesSource& source, const SobolOptions& options = {},
                          Feedback* feedback = nullptr);

}  // namespace kvsorv::analysis
