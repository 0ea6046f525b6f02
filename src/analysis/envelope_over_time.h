#pragma once
// The envelope of every selected output at every selected time: mean, standard deviation,
// range and quantiles over the members that are done.

#include <string>
#include <vector>

#include "analysis/estimate_stability.h"
#include "analysis/series_source.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

struct EnvelopeRow {
  std::string output;
  double time = 0;  // NaN for a plain table
  double mean = 0, sd = 0, min = 0, max = 0;
  double q05 = 0, q25 = 0, q50 = 0, q75 = 0, q95 = 0;  // linear between order statistics
  int members = 0;                                     // finite values the statistics are of
  int designMembers = 0;                               // of the design's members
  Stability stability{};                               // MembersStability(members, design)
};

struct EnvelopeResult {
  std::vector<EnvelopeRow> rows;      // output-major, then time
  std::vector<std::string> notes;     // series without values (their cells left empty)
  std::vector<std::string> warnings;  // series of too few members (UnstableSummary's lines)
};

// With a feedback: the series done of every series, and a cancel between slices of the series
// (EAnalysisCanceled; see ForEachBatchWithFeedback), as for every analysis over time.
EnvelopeResult EnvelopeOverTime(SeriesSource& source, Feedback* feedback = nullptr);

// The statistics of the finite values in [values, values + n), reordering them, the n being
// the design's members. NaN statistics when none is finite; sd NaN with a single value.
EnvelopeRow EnvelopeOfSeries(double* values, std::size_t n);

}  // namespace kvsorv::analysis
