#pragma once
// Morris elementary effects of every selected output at every selected time, from
// trajectories of k + 1 members that each change one parameter from the member before. An
// effect is the output's change divided by the parameter's change in units of its spread
// over the design (so effects of parameters in different units compare); a step with a
// member that is not done is left out.

#include <string>
#include <vector>

#include "analysis/estimate_stability.h"
#include "analysis/series_source.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

// Fewer effects per parameter (steps between two members done) make mu* a guess.
inline constexpr int kMinimumEffects = 4;

struct MorrisRow {
  std::string output;
  double time = 0;
  std::string parameter;
  double mu = 0, muStar = 0;  // mean and mean absolute effect
  double sigma = 0;           // standard deviation of the effects, NaN with fewer than two
  int effects = 0;            // finite effects
  int trajectories = 0;       // of the design
  Stability stability{};      // MorrisStability of mu*
};

struct MorrisResult {
  std::vector<MorrisRow> rows;  // output, time, then parameter
  std::vector<std::string> notes;
  std::vector<std::string> warnings;  // unstable mu* (UnstableSummary's lines)
  int trajectories = 0;
  int completeTrajectories = 0;  // with every member done
};

// Failures: EAnalysisError when the design is not a Morris design, its members do not fill
// whole trajectories, or a parameter has fewer than kMinimumEffects steps between members
// done (naming the parameter, how many it has and how many trajectories are complete);
// EAnalysisCanceled (see EnvelopeOverTime for the feedback).
MorrisResult MorrisOverTime(SeriesSource& source, Feedback* feedback = nullptr);

}  // namespace kvsorv::analysis
