#include "analysis/local_sensitivity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "analysis/analysis_error.h"
#include "analysis/batch_feedback.h"
#include "analysis/cell_text.h"
#include "analysis/series_notes.h"

namespace kvsorv::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kZeroRatio = 1e-8;

}  // namespace

LocalResult LocalOverTime(SeriesSource& source, const LocalOptions& options, Feedback* feedback) {
  const EnsembleLayout& layout = source.Layout();
  RequireDesign(layout, "local", "oat");
  const std::size_t k = layout.parameters.size(), members = layout.Members();
  if (k == 0 || members != 1 + 4 * k)
    throw EAnalysisError(layout.source + ": " + std::to_string(members) +
                         " members where a one-at-a-time design of " + std::to_string(k) +
                         " parameters has " + std::to_string(1 + 4 * k) +
                         " (the medians, then each parameter at -h, +h, -h/2, +h/2)");
  const auto done = [&](std::size_t m) { return layout.states[m] == MemberState::kDone; };
  if (!done(0))
    throw EAnalysisError(layout.source + ": the member at the medians (member 0) is not done; " +
                         "no coefficient can be normalised");
  LocalResult r;
  r.parameters = layout.parameters;
  for (std::size_t j = 0; j < k; ++j)
    for (std::size_t m = 1 + 4 * j; m < 5 + 4 * j; ++m)
      if (!done(m))
        r.notes.push_back(layout.parameters[j] + ": member " + std::to_string(m) +
                          " is not done; its coefficients are left empty");
  // The parameter changes of the four rows of each parameter, from the values the members ran.
  const auto change = [&](std::size_t j, std::size_t down) {
    return layout.design[down + 1][j] - layout.design[down][j];
  };
  r.rows.resize(layout.Series() * k);
  SeriesNotes notes(layout);
  notes.Resize(1);
  std::vector<char> failed(layout.Series() * k, 0);
  ForEachSeries(source, feedback, [&](std::size_t series, const double* y) {
    // y_0 counts as zero beside the other members' values: a normalised coefficient
    // would then be rounding noise blown up.
    double largest = 0;
    for (std::size_t m = 0; m < members; ++m)
      if (std::isfinite(y[m])) largest = std::max(largest, std::fabs(y[m]));
    const bool zero = std::fabs(y[0]) <= kZeroRatio * largest;
    if (std::isfinite(y[0]) && zero) notes.Mark(0, series);
    for (std::size_t j = 0; j < k; ++j) {
      const double theta = layout.design[0][j], row = 1 + 4 * j;
      const auto coefficient = [&](std::size_t down) {
        const double dtheta = change(j, down);
        if (zero || dtheta == 0) return kNaN;
        return (y[down + 1] - y[down]) / dtheta * theta / y[0];
      };
      LocalRow& out = r.rows[series * k + j];
      out.output = layout.OutputOf(series), out.time = layout.TimeOf(series);
      out.parameter = layout.parameters[j];
      out.coefficient = coefficient(static_cast<std::size_t>(row));
      out.halfStep = coefficient(static_cast<std::size_t>(row) + 2);
      out.difference = out.coefficient - out.halfStep;
      if (std::isfinite(out.difference))
        out.withinTolerance =
            std::fabs(out.difference) <= options.tolerance * std::max(1.0, std::fabs(out.halfStep));
      if (!out.withinTolerance) failed[series * k + j] = 1;
      out.stability =
          LocalStability(out.coefficient, out.halfStep, out.withinTolerance, options.tolerance);
    }
  });
  for (const std::string& line : notes.Lines({"zero at the medians (within 1e-8 of the largest "
                                              "member value); its coefficients are left empty"}))
    r.notes.push_back(line);
  // One warning per output and parameter, naming the times where the check fails.
  for (std::size_t o = 0; o < layout.outputs.size(); ++o)
    for (std::size_t j = 0; j < k; ++j) {
      std::vector<double> times;
      double worst = 0;
      for (std::size_t t = 0; t < layout.times.size(); ++t) {
        const std::size_t i = (o * layout.times.size() + t) * k + j;
        if (failed[i] == 0) continue;
        times.push_back(layout.times[t]);
        worst = std::max(worst, std::fabs(r.rows[i].difference));
      }
      if (times.empty()) continue;
      std::string line = layout.outputs[o] + ", " + layout.parameters[j] +
                         ": the step-halving check fails (|S_h - S_h/2| up to " + CellText(worst) +
                         ", tolerance " + CellText(options.tolerance) + ")";
      if (!std::isnan(times.front())) {
        line += " at ";
        line += std::to_string(times.size());
        line += " times:";
        for (std::size_t i = 0; i < std::min<std::size_t>(times.size(), 8); ++i) {
          line += ' ';
          line += CellText(times[i]);
        }
        if (times.size() > 8) line += " ...";
      }
      r.warnings.push_back(line);
    }
  return r;
}

std::vector<LocalSummaryRow> SummariseLocal(const LocalResult& local) {
  std::vector<LocalSummaryRow> summary;
  std::map<std::pair<std::string, std::string>, std::size_t> at;
  for (const LocalRow& row : local.rows) {
    const auto key = std::make_pair(row.output, row.parameter);
    if (at.count(key) == 0) {
      at[key] = summary.size();
      summary.push_back({row.output, row.parameter, 0, 0, 0, INFINITY, -INFINITY, 0});
    }
    LocalSummaryRow& s = summary[at[key]];
    if (!std::isfinite(row.coefficient)) continue;
    s.l1 += std::fabs(row.coefficient);
    s.l2 += row.coefficient * row.coefficient;
    s.mean += row.coefficient;
    s.min = std::min(s.min, row.coefficient);
    s.max = std::max(s.max, row.coefficient);
    ++s.times;
  }
  for (LocalSummaryRow& s : summary) {
    if (s.times == 0) {
      s.l1 = s.l2 = s.mean = s.min = s.max = kNaN;
      continue;
    }
    s.l1 /= s.times;
    s.l2 = std::sqrt(s.l2 / s.times);
    s.mean /= s.times;
  }
  return summary;
}

}  // namespace kvsorv::analysis
