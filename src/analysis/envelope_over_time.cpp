#include "analysis/envelope_over_time.h"

#include "analysis/series_notes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/batch_feedback.h"
#include "statistics/quantiles.h"

namespace kvsorv::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The mean and sd of finite values whose sums exceed the largest double (values near it):
// summed as fractions of the largest magnitude. Only then, so that other series keep the
// bits of the plain sums.
void ScaledMoments(const double* values, std::size_t count, EnvelopeRow& e) {
  double largest = 0;
  for (std::size_t i = 0; i < count; ++i) largest = std::max(largest, std::fabs(values[i]));
  if (!std::isfinite(largest) || largest == 0) return;
  const auto c = static_cast<double>(count);
  double sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += values[i] / largest;
  const double mean = sum / c;
  double squares = 0;
  for (std::size_t i = 0; i < count; ++i)
    squares += (values[i] / largest - mean) * (values[i] / largest - mean);
  e.mean = mean * largest;
  e.sd = count > 1 ? std::sqrt(squares / (c - 1)) * largest : kNaN;
}

}  // namespace

EnvelopeRow EnvelopeOfSeries(double* values, std::size_t n) {
  double* end = std::remove_if(values, values + n, [](double x) { return std::isnan(x); });
  const auto count = static_cast<std::size_t>(end - values);
  EnvelopeRow e;
  e.members = static_cast<int>(count);
  e.designMembers = static_cast<int>(n);
  e.stability = MembersStability(e.members, e.designMembers);
  if (count == 0) {
    e.mean = e.sd = e.min = e.max = e.q05 = e.q25 = e.q50 = e.q75 = e.q95 = kNaN;
    return e;
  }
  const auto c = static_cast<double>(count);
  double sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += values[i];
  e.mean = sum / c;
  double squares = 0;
  for (std::size_t i = 0; i < count; ++i) squares += (values[i] - e.mean) * (values[i] - e.mean);
  e.sd = count > 1 ? std::sqrt(squares / (c - 1)) : kNaN;
  if (!std::isfinite(e.mean) || (count > 1 && !std::isfinite(e.sd)))
    ScaledMoments(values, count, e);
  const double levels[] = {0.05, 0.25, 0.50, 0.75, 0.95};
  double quantiles[5];
  statistics::Quantiles({values, count}, levels, quantiles);
  e.q05 = quantiles[0], e.q25 = quantiles[1], e.q50 = quantiles[2], e.q75 = quantiles[3];
  e.q95 = quantiles[4];
  e.min = *std::min_element(values, values + count);
  e.max = *std::max_element(values, values + count);
  return e;
}

EnvelopeResult EnvelopeOverTime(SeriesSource& source, Feedback* feedback) {
  const EnsembleLayout& layout = source.Layout();
  EnvelopeResult r;
  r.rows.resize(layout.Series());
  SeriesNotes notes(layout);
  notes.Resize(1);
  ForEachSeries(source, feedback, [&](std::size_t series, const double* y) {
    std::vector<double> values(y, y + layout.Members());
    EnvelopeRow& row = r.rows[series];
    row = EnvelopeOfSeries(values.data(), values.size());
    row.output = layout.OutputOf(series);
    row.time = layout.TimeOf(series);
    if (row.members == 0) notes.Mark(0, series);
  });
  r.notes = notes.Lines({"no member has a value; the statistics are left empty"});
  UnstableSummary unstable;
  for (const EnvelopeRow& row : r.rows) unstable.Add(row.output, "", row.time, row.stability);
  r.warnings = unstable.Lines("envelopes", layout.times.size());
  return r;
}

}  // namespace kvsorv::analysis
