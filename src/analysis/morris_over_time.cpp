#include "analysis/morris_over_time.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/analysis_error.h"
#include "analysis/batch_feedback.h"
#include "analysis/series_notes.h"

namespace kvsorv::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Step {
  std::size_t from = 0, to = 0, parameter = 0;
  double scaled = 0;  // the parameter's change over its spread
};

}  // namespace

MorrisResult MorrisOverTime(SeriesSource& source, Feedback* feedback) {
  const EnsembleLayout& layout = source.Layout();
  RequireDesign(layout, "morris", "morris");
  const std::size_t k = layout.parameters.size(), members = layout.Members();
  if (k == 0 || members % (k + 1) != 0)
    throw EAnalysisError(layout.source + ": " + std::to_string(members) +
                         " members do not fill whole trajectories of " + std::to_string(k + 1) +
                         " members");
  std::vector<double> spread(k);
  for (std::size_t j = 0; j < k; ++j) {
    double lo = INFINITY, hi = -INFINITY;
    for (const auto& row : layout.design)
      if (std::isfinite(row[j])) lo = std::min(lo, row[j]), hi = std::max(hi, row[j]);
    spread[j] = hi > lo ? hi - lo : 1.0;
  }
  MorrisResult r;
  r.trajectories = static_cast<int>(members / (k + 1));
  std::vector<Step> steps;
  std::vector<int> perParameter(k);
  const auto done = [&](std::size_t m) { return layout.states[m] == MemberState::kDone; };
  for (std::size_t start = 0; start < members; start += k + 1) {
    bool complete = done(start);
    for (std::size_t m = start + 1; m < start + k + 1; ++m) {
      complete = complete && done(m);
      if (!done(m) || !done(m - 1)) continue;
      for (std::size_t j = 0; j < k; ++j) {
        const double change = layout.design[m][j] - layout.design[m - 1][j];
        if (change == 0) continue;
        steps.push_back({m - 1, m, j, change / spread[j]});
        ++perParameter[j];
        break;
      }
    }
    if (complete) ++r.completeTrajectories;
  }
  for (std::size_t j = 0; j < k; ++j)
    if (perParameter[j] < kMinimumEffects)
      throw EAnalysisError(layout.source + ": parameter " + layout.parameters[j] + " has " +
                           std::to_string(perParameter[j]) + " steps between members done (" +
                           std::to_string(r.completeTrajectories) + " of " +
                           std::to_string(r.trajectories) +
                           " trajectories complete); Morris effects need at least " +
                           std::to_string(kMinimumEffects));

  r.rows.resize(layout.Series() * k);
  SeriesNotes notes(layout);
  notes.Resize(1);
  ForEachSeries(source, feedback, [&](std::size_t series, const double* y) {
    // Welford's running mean and squares per parameter.
    std::vector<double> mean(k), squares(k), absolute(k);
    std::vector<int> count(k);
    for (const Step& step : steps) {
      const double effect = (y[step.to] - y[step.from]) / step.scaled;
      if (!std::isfinite(effect)) continue;
      const std::size_t j = step.parameter;
      const double delta = effect - mean[j];
      mean[j] += delta / ++count[j];
      squares[j] += delta * (effect - mean[j]);
      absolute[j] += std::fabs(effect);
    }
    for (std::size_t j = 0; j < k; ++j) {
      MorrisRow& row = r.rows[series * k + j];
      row = {layout.OutputOf(series),
             layout.TimeOf(series),
             layout.parameters[j],
             count[j] > 0 ? mean[j] : kNaN,
             count[j] > 0 ? absolute[j] / count[j] : kNaN,
             count[j] > 1 ? std::sqrt(squares[j] / (count[j] - 1)) : kNaN,
             count[j],
             r.trajectories,
             {}};  // judged below, beside the other parameters
      if (count[j] < 2) notes.Mark(0, series);
    }
    double largest = 0;
    for (std::size_t j = 0; j < k; ++j)
      if (std::isfinite(r.rows[series * k + j].muStar))
        largest = std::max(largest, r.rows[series * k + j].muStar);
    for (std::size_t j = 0; j < k; ++j) {
      MorrisRow& row = r.rows[series * k + j];
      row.stability = MorrisStability(row.effects, row.mu, row.muStar, row.sigma, largest);
    }
  });
  r.notes = notes.Lines({"fewer than two finite effects of a parameter; its sigma is left empty"});
  UnstableSummary unstable;
  for (const MorrisRow& row : r.rows)
    unstable.Add(row.output, row.parameter, row.time, row.stability);
  r.warnings = unstable.Lines("Morris mu*", layout.times.size());
  return r;
}

}  // namespace kvsorv::analysis
