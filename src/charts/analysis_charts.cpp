#include "charts/analysis_charts.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/analysis_error.h"
#include "analysis/envelope_over_time.h"
#include "analysis/estimate_stability.h"
#include "analysis/failures.h"
#include "analysis/morris_over_time.h"
#include "model/catalogue.h"
#include "statistics/rank_correlation.h"

namespace kvsorv::analysis {

namespace {

std::string TimeText(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", t);
  return text;
}

std::string TimeTitle() {
  const std::string& unit = Catalogue().def.timeunit;
  return unit.empty() ? "Time" : "Time (" + unit + ")";
}

// The single output of the source; EAnalysisError naming the source otherwise.
const std::string& SingleOutput(const EnsembleLayout& layout) {
  if (layout.outputs.size() != 1)
    throw EAnalysisError(layout.source + ": a chart is of one output; " +
                         std::to_string(layout.outputs.size()) + " were chosen");
  return layout.outputs.front();
}

// "Cf at 1604", for a source of one output at one time.
std::string AtTime(const EnsembleLayout& layout) {
  const std::string& output = SingleOutput(layout);
  if (layout.times.size() != 1)
    throw EAnalysisError(layout.source + ": this chart is of one time; " +
                         std::to_string(layout.times.size()) + " were chosen");
  return std::isnan(layout.times.front()) ? output
                                          : output + " at " + TimeText(layout.times.front());
}

// Every member's value of a source's single series (NaN for a member not done).
std::vector<double> OnlySeries(SeriesSource& source) {
  std::vector<double> y;
  source.ForEachBatch(kBatchBytes, [&](const SeriesBatch& batch) {
    if (batch.first == 0 && batch.count > 0)
      y.assign(batch.Series(0), batch.Series(0) + batch.members);
  });
  return y;
}

}  // namespace

std::string OutputTitle(const std::string& symbol) {
  const std::string units = UnitsOfSymbol(symbol);
  return units.empty() ? symbol : symbol + " (" + units + ")";
}

EnvelopeChartData EnvelopeChart(SeriesSource& source) {
  const EnsembleLayout& layout = source.Layout();
  const std::string& output = SingleOutput(layout);
  EnvelopeChartData data;
  data.members =
      static_cast<int>(std::count(layout.states.begin(), layout.states.end(), MemberState::kDone));
  data.designMembers = static_cast<int>(layout.Members());
  const Stability few = MembersStability(data.members, data.designMembers);
  if (few.Unstable()) data.fewMembers = few.reason + ", too few to read the spread by";
  // The title keeps to the count, so that it fits a chart in the window.
  data.titles = {.chart = "Envelope of " + output +
                          (few.Unstable() ? " from " + few.reason
                                          : " (" + std::to_string(data.members) + " of " +
                                                std::to_string(data.designMembers) + " members)"),
                 .x = TimeTitle(),
                 .y = OutputTitle(output)};
  for (const EnvelopeRow& r : EnvelopeOverTime(source).rows) {
    if (r.members == 0) continue;
    data.times.push_back(r.time);
    data.q05.push_back(r.q05);
    data.q25.push_back(r.q25);
    data.q50.push_back(r.q50);
    data.q75.push_back(r.q75);
    data.q95.push_back(r.q95);
    data.mean.push_back(r.mean);
    data.counts.push_back(r.members);
  }
  return data;
}

TornadoChartData TornadoChart(SeriesSource& source, double oatStep) {
  const EnsembleLayout& layout = source.Layout();
  const std::string at = AtTime(layout);
  const std::string& output = layout.outputs.front();
  const std::vector<double> y = OnlySeries(source);
  const std::size_t k = layout.parameters.size();
  // "(38 of 40 members)": those with a value, of the design's.
  const std::string used =
      " (" +
      std::to_string(std::count_if(y.begin(), y.end(), [](double v) { return std::isfinite(v); })) +
      " of " + std::to_string(layout.Members()) + " members)";
  TornadoChartData data;
  if (layout.designMethod == "oat") {
    data.titles = {.chart = "Change of " + at + " by " + TimeText(100 * oatStep) +
                            " % parameter changes" + used,
                   .x = "Change of " + OutputTitle(output),
                   .y = "Parameter"};
    if (!y.empty() && !std::isfinite(y[0]))
      data.titles.chart += ": the member at the medians has no value, so no change is drawn";
    // Members 1 + 4j and 2 + 4j move parameter j down and up by the whole step. A side whose
    // member has no value is drawn as no bar, and its parameter's label says so, rather than
    // reading as no change.
    for (std::size_t j = 0; j < k && 4 * j + 2 < y.size(); ++j) {
      const double low = y[4 * j + 1] - y[0], high = y[4 * j + 2] - y[0];
      const bool lowMissing = !std::isfinite(low), highMissing = !std::isfinite(high);
      std::string label = layout.parameters[j];
      if (std::isfinite(y[0]) && (lowMissing || highMissing))
        label += lowMissing && highMissing ? " (no value down or up)"
                 : lowMissing              ? " (no value down)"
                                           : " (no value up)";
      data.bars.push_back({.parameter = label, .low = low, .high = high});
    }
    return data;
  }
  data.titles = {.chart = "Rank correlation with " + at + used,
                 .x = "Spearman rank correlation",
                 .y = "Parameter"};
  data.lowLegend = "negative";
  data.highLegend = "positive";
  std::vector<double> column(y.size());
  for (std::size_t j = 0; j < k; ++j) {
    for (std::size_t m = 0; m < y.size(); ++m) column[m] = layout.design.at(m).at(j);
    const double r = statistics::RankCorrelation(column, y);
    data.bars.push_back(
        {.parameter = layout.parameters[j], .low = std::min(r, 0.0), .high = std::max(r, 0.0)});
  }
  return data;
}

SobolCharts SobolChartsOf(SeriesSource& source, const SobolOptions& options) {
  const std::string at = AtTime(source.Layout());
  const SobolResult r = SobolOverTime(source, options);
  SobolCharts charts;
  charts.notes = r.notes;
  const int used = r.rows.empty() ? 0 : r.rows.front().basePoints;
  charts.indices.titles = {.chart = "Sobol indices of " + at + " (" + std::to_string(used) +
                                    " of " + std::to_string(r.basePoints) + " base points, " +
                                    TimeText(100 * options.confidence) + " % intervals)",
                           .x = "Parameter",
                           .y = "Share of variance"};
  for (const SobolRow& row : r.rows) {
    const Stability both = Combined(row.s1Stability, row.stStability);
    charts.indices.bars.push_back({.parameter = row.parameter,
                                   .first = row.s1,
                                   .firstLow = row.s1Low,
                                   .firstHigh = row.s1High,
                                   .total = row.st,
                                   .totalLow = row.stLow,
                                   .totalHigh = row.stHigh,
                                   .firstUnstable = row.s1Stability.Unstable(),
                                   .totalUnstable = row.stStability.Unstable(),
                                   .stable = StableCell(both),
                                   .reason = both.reason});
    if (both.Unstable())
      charts.indices.unstableLegend = "hatched: not yet usable (wide or off-scale interval)";
  }
  ConvergenceChartData& c = charts.convergence;
  c.titles = {.chart = "", .x = "Base points used", .y = "Total index"};
  // Rows come per parameter from N down to N/4; the chart reads them from N/4 up.
  std::map<std::string, std::size_t> line;
  for (auto row = r.convergence.rbegin(); row != r.convergence.rend(); ++row) {
    if (!line.contains(row->parameter)) {
      line[row->parameter] = c.lines.size();
      c.lines.push_back({row->parameter, {}});
    }
    ConvergenceLine& l = c.lines[line[row->parameter]];
    if (l.values.size() == c.basePoints.size()) {
      c.basePoints.push_back(row->basePoints);
      c.firstBasePoints.push_back(row->firstBasePoints);
    }
    l.values.push_back(row->st);
  }
  std::reverse(c.lines.begin(), c.lines.end());
  // "8, 16 and 33 of the first 50, 100 and 200"
  std::string counts, firsts;
  for (std::size_t i = 0; i < c.basePoints.size(); ++i) {
    const char* joint = i == 0 ? "" : i + 1 == c.basePoints.size() ? " and " : ", ";
    counts += joint + TimeText(c.basePoints[i]);
    firsts += joint + TimeText(c.firstBasePoints[i]);
  }
  // The counts go with the axis they measure, so that the title fits a chart in the window.
  c.titles.chart = "Convergence of the total indices of " + at;
  c.titles.x = "Base points used: " + counts + " of the first " + firsts;
  return charts;
}

MorrisChartData MorrisChart(SeriesSource& source) {
  const std::string at = AtTime(source.Layout());
  const MorrisResult r = MorrisOverTime(source);
  MorrisChartData data;
  data.titles = {.chart = "Morris effects on " + at + " (" +
                          std::to_string(r.completeTrajectories) + " of " +
                          std::to_string(r.trajectories) + " trajectories complete)",
                 .x = "μ* (mean absolute effect)",
                 .y = "σ (spread of the effects)"};
  for (const MorrisRow& row : r.rows) {
    data.points.push_back({row.parameter, row.muStar, row.sigma, row.stability.Unstable(),
                           StableCell(row.stability), row.stability.reason});
    if (row.stability.Unstable())
      data.unstableLegend = "hollow: μ* not yet usable (few effects or wide interval)";
  }
  return data;
}

TornadoChartData FailurePredictorsChart(const FailureReport& report) {
  TornadoChartData data;
  data.titles = {.chart = "Which parameters predict failure (" + std::to_string(report.failed) +
                          " of " + std::to_string(report.done + report.failed) +
                          " finished members failed)",
                 .x = "Rank-biserial correlation of the failed members' values",
                 .y = "Parameter"};
  data.lowLegend = "lower in failed members";
  data.highLegend = "higher in failed members";
  for (const FailureRow& row : report.predictors)
    data.bars.push_back({.parameter = row.parameter,
                         .low = std::min(row.rankBiserial, 0.0),
                         .high = std::max(row.rankBiserial, 0.0)});
  return data;
}

FailuresChartData FailureReasonsChart(const std::vector<std::string>& errors,
                                      std::size_t finished) {
  std::map<std::string, int> counts;
  for (const auto& [whole, n] : FailureReasons(errors)) {
    std::string label = whole;
    if (label.size() > 60) label.resize(57), label += "...";
    counts[label] += n;
  }
  FailuresChartData data;
  data.titles = {.chart = std::to_string(errors.size()) + " of " + std::to_string(finished) +
                          " finished members failed",
                 .x = "Members",
                 .y = ""};  // the reasons speak for themselves, and a title would cover them
  for (const auto& [reason, n] : counts) data.counts.push_back({reason, n});
  return data;
}

}  // namespace kvsorv::analysis
