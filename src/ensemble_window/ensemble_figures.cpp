#include "ensemble_window/ensemble_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <stdexcept>

#include "analysis/estimators.h"
#include "model/globals.h"

namespace kvsorv::ensemble {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string TimeText(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", t);
  return text;
}

std::string TimeTitle() {
  return ModelDef.timeunit.empty() ? "Time" : "Time (" + ModelDef.timeunit + ")";
}

std::string AtTime(const EnsembleLayout& layout, std::size_t variable, std::size_t time) {
  return layout.site.variables.at(variable) + " at " + TimeText(layout.site.times.at(time));
}

std::vector<double> Ranks(const std::vector<double>& x) {
  std::vector<std::size_t> order(x.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
  std::vector<double> rank(x.size());
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i;
    while (j + 1 < order.size() && x[order[j + 1]] == x[order[i]]) ++j;
    for (std::size_t k = i; k <= j; ++k) rank[order[k]] = 0.5 * static_cast<double>(i + j) + 1;
    i = j + 1;
  }
  return rank;
}

// The bars of Sobol indices from the rows of the first `basePoints` base points.
analysis::SobolIndices IndicesOf(const EnsembleLayout& layout, const std::vector<double>& y,
                                 int basePoints) {
  const std::size_t k = layout.plan.parameters.size();
  const std::vector<double> first(
      y.begin(),
      y.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(basePoints) * (k + 2)));
  return analysis::SobolFromCrossSample(first, static_cast<int>(k));
}

}  // namespace

std::string VariableTitle(const EnsembleLayout& layout, std::size_t variable) {
  const std::vector<OutputSpec>& outputs = layout.plan.outputs;
  const OutputSpec& o = outputs.at(variable % outputs.size());
  std::string units;
  switch (o.kind) {
    case OutputKind::kState:
      units = States[o.index].units;
      break;
    case OutputKind::kProcess:
      units = Processes[o.index].units;
      break;
    case OutputKind::kDriver:
      units = Drivers[o.index].units;
      break;
  }
  const std::string& name = layout.site.variables.at(variable);
  return units.empty() ? name : name + " (" + units + ")";
}

EnvelopeChartData EnvelopeSoFar(const EnsembleLayout& layout, const FinishedMembers& members,
                                std::size_t variable) {
  EnvelopeChartData data;
  data.titles = {.chart = "Envelope of " + layout.site.variables.at(variable),
                 .x = TimeTitle(),
                 .y = VariableTitle(layout, variable)};
  data.members = static_cast<int>(members.Count() - members.Failures());
  std::vector<double> values(members.Members());
  for (std::size_t t = 0; t < members.Times(); ++t) {
    for (std::size_t m = 0; m < members.Members(); ++m) values[m] = members.Value(m, t, variable);
    const analysis::Envelope e = analysis::EnvelopeOf(values);
    if (e.members == 0) continue;
    data.times.push_back(layout.site.times.at(t));
    data.q05.push_back(e.q05);
    data.q25.push_back(e.q25);
    data.q50.push_back(e.q50);
    data.q75.push_back(e.q75);
    data.q95.push_back(e.q95);
    data.mean.push_back(e.mean);
  }
  data.titles.chart += " (" + std::to_string(data.members) + " members)";
  return data;
}

std::optional<std::size_t> LastRecordedTime(const FinishedMembers& members, std::size_t variable) {
  for (std::size_t t = members.Times(); t-- > 0;)
    for (std::size_t m = 0; m < members.Members(); ++m)
      if (std::isfinite(members.Value(m, t, variable))) return t;
  return std::nullopt;
}

std::vector<double> ValuesAt(const FinishedMembers& members, std::size_t time,
                             std::size_t variable) {
  std::vector<double> y(members.Members());
  for (std::size_t m = 0; m < y.size(); ++m) y[m] = members.Value(m, time, variable);
  return y;
}

double RankCorrelationOf(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> x, y;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (std::isfinite(a[i]) && std::isfinite(b[i])) x.push_back(a[i]), y.push_back(b[i]);
  if (x.size() < 3) return kNaN;
  const std::vector<double> rx = Ranks(x), ry = Ranks(y);
  const double mean = 0.5 * static_cast<double>(x.size() + 1);
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (rx[i] - mean) * (ry[i] - mean);
    sxx += (rx[i] - mean) * (rx[i] - mean);
    syy += (ry[i] - mean) * (ry[i] - mean);
  }
  if (sxx == 0 || syy == 0) return kNaN;
  return sxy / std::sqrt(sxx * syy);
}

TornadoChartData TornadoAt(const EnsembleLayout& layout, const FinishedMembers& members,
                           std::size_t time, std::size_t variable) {
  TornadoChartData data;
  const std::vector<double> y = ValuesAt(members, time, variable);
  const std::size_t k = layout.plan.parameters.size();
  if (layout.design.method == Method::kOneAtATime) {
    data.titles = {.chart = "Change of " + AtTime(layout, variable, time) + " by " +
                            TimeText(100 * layout.plan.oatStep) + " % parameter changes",
                   .x = "Change of " + VariableTitle(layout, variable),
                   .y = "Parameter"};
    // Rows 1 + 4j and 2 + 4j move parameter j down and up by the whole step.
    for (std::size_t j = 0; j < k && 4 * j + 2 < y.size(); ++j)
      data.bars.push_back({.parameter = layout.plan.parameters[j].symbol,
                           .low = y[4 * j + 1] - y[0],
                           .high = y[4 * j + 2] - y[0]});
  } else {
    data.titles = {.chart = "Rank correlation with " + AtTime(layout, variable, time),
                   .x = "Spearman rank correlation",
                   .y = "Parameter"};
    data.lowLegend = "negative";
    data.highLegend = "positive";
    std::vector<double> column(y.size());
    for (std::size_t j = 0; j < k; ++j) {
      for (std::size_t m = 0; m < y.size(); ++m) column[m] = layout.design.rows.at(m).at(j);
      const double r = RankCorrelationOf(column, y);
      data.bars.push_back({.parameter = layout.plan.parameters[j].symbol,
                           .low = std::min(r, 0.0),
                           .high = std::max(r, 0.0)});
    }
  }
  return data;
}

std::optional<SobolChartData> SobolAt(const EnsembleLayout& layout, const FinishedMembers& members,
                                      std::size_t time, std::size_t variable) {
  if (layout.design.method != Method::kSobol) return std::nullopt;
  const std::vector<double> y = ValuesAt(members, time, variable);
  const std::size_t k = layout.plan.parameters.size();
  analysis::SobolIndices s;
  try {
    s = IndicesOf(layout, y, static_cast<int>(y.size() / (k + 2)));
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
  SobolChartData data;
  data.titles = {.chart = "Sobol indices of " + AtTime(layout, variable, time) + " (" +
                          std::to_string(s.usedBasePoints) + " base points, 95 % intervals)",
                 .x = "Parameter",
                 .y = "Share of variance"};
  for (std::size_t j = 0; j < k; ++j)
    data.bars.push_back({.parameter = layout.plan.parameters[j].symbol,
                         .first = s.first[j],
                         .firstLow = s.firstLow[j],
                         .firstHigh = s.firstHigh[j],
                         .total = s.total[j],
                         .totalLow = s.totalLow[j],
                         .totalHigh = s.totalHigh[j]});
  return data;
}

std::optional<ConvergenceChartData> ConvergenceAt(const EnsembleLayout& layout,
                                                  const FinishedMembers& members, std::size_t time,
                                                  std::size_t variable, int steps) {
  if (layout.design.method != Method::kSobol) return std::nullopt;
  const std::vector<double> y = ValuesAt(members, time, variable);
  const std::size_t k = layout.plan.parameters.size();
  const int all = static_cast<int>(y.size() / (k + 2));
  ConvergenceChartData data;
  data.titles = {.chart = "Convergence of the total indices of " + AtTime(layout, variable, time),
                 .x = "Base points",
                 .y = "Total index"};
  for (const VariedParameter& p : layout.plan.parameters) data.lines.push_back({p.symbol, {}});
  for (int s = 1; s <= std::max(steps, 1); ++s) {
    const int n = std::max(2, all * s / std::max(steps, 1));
    if (!data.basePoints.empty() && n <= data.basePoints.back()) continue;
    try {
      const analysis::SobolIndices indices = IndicesOf(layout, y, n);
      data.basePoints.push_back(n);
      for (std::size_t j = 0; j < k; ++j) data.lines[j].values.push_back(indices.total[j]);
    } catch (const std::invalid_argument&) {
      continue;
    }
  }
  if (data.basePoints.empty()) return std::nullopt;
  return data;
}

std::optional<MorrisChartData> MorrisAt(const EnsembleLayout& layout,
                                        const FinishedMembers& members, std::size_t time,
                                        std::size_t variable) {
  if (layout.design.method != Method::kMorris) return std::nullopt;
  const std::size_t k = layout.plan.parameters.size();
  std::vector<double> ranges(k, 0.0);
  for (std::size_t j = 0; j < k; ++j) {
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const auto& row : layout.design.rows)
      low = std::min(low, row[j]), high = std::max(high, row[j]);
    ranges[j] = high > low ? high - low : 1.0;
  }
  const analysis::MorrisEffects e = analysis::MorrisFromTrajectories(
      layout.design.rows, ValuesAt(members, time, variable), ranges);
  MorrisChartData data;
  data.titles = {.chart = "Morris effects on " + AtTime(layout, variable, time),
                 .x = "μ* (mean absolute effect)",
                 .y = "σ (spread of the effects)"};
  for (std::size_t j = 0; j < k; ++j)
    data.points.push_back({layout.plan.parameters[j].symbol, e.muStar[j], e.sigma[j]});
  return data;
}

FailuresChartData FailuresOf(const FinishedMembers& members) {
  std::map<std::string, int> counts;
  for (std::size_t m = 0; m < members.Members(); ++m) {
    if (!members.Finished(m) || !members.Failed(m)) continue;
    std::string reason = members.Error(m).substr(0, members.Error(m).find('\n'));
    if (reason.size() > 60) reason = reason.substr(0, 57) + "...";
    ++counts[reason.empty() ? "(no message)" : reason];
  }
  FailuresChartData data;
  data.titles = {.chart = std::to_string(members.Failures()) + " of " +
                          std::to_string(members.Count()) + " finished members failed",
                 .x = "Members",
                 .y = "Reason"};
  for (const auto& [reason, n] : counts) data.counts.push_back({reason, n});
  return data;
}

}  // namespace kvsorv::ensemble
