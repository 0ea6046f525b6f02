#include "charts/ensemble_figures.h"

#include <cmath>
#include <memory>

#include "analysis/analysis_error.h"
#include "analysis/failures.h"
#include "analysis/table_source.h"
#include "model/catalogue.h"

namespace kvsorv::ensemble {

namespace {

// The finished members' values of one variable at the given times, as the analyses read a
// results file: members not finished are missing, failed ones failed.
std::unique_ptr<analysis::SeriesSource> SourceOf(const EnsembleLayout& layout,
                                                 const FinishedMembers& members,
                                                 const std::vector<std::size_t>& times,
                                                 std::size_t variable) {
  analysis::EnsembleLayout l;
  l.source = "the finished members";
  l.designMethod = MethodName(layout.design.method);
  for (const VariedParameter& p : layout.plan.parameters) l.parameters.push_back(p.symbol);
  l.design = layout.design.rows;
  l.outputs = {layout.site.variables.at(variable)};
  analysis::SeriesBatch batch;
  batch.members = members.Members();
  batch.count = times.size();
  for (std::size_t t : times) {
    l.times.push_back(layout.site.times.at(t));
    for (std::size_t m = 0; m < members.Members(); ++m)
      batch.values.push_back(members.Value(m, t, variable));
  }
  for (std::size_t m = 0; m < members.Members(); ++m)
    l.states.push_back(!members.Finished(m) ? analysis::MemberState::kMissing
                       : members.Failed(m)  ? analysis::MemberState::kFailed
                                            : analysis::MemberState::kDone);
  return analysis::MemorySource(std::move(l), std::move(batch));
}

std::unique_ptr<analysis::SeriesSource> SourceAt(const EnsembleLayout& layout,
                                                 const FinishedMembers& members, std::size_t time,
                                                 std::size_t variable) {
  return SourceOf(layout, members, {time}, variable);
}

}  // namespace

std::string VariableTitle(const EnsembleLayout& layout, std::size_t variable) {
  const std::vector<OutputSpec>& outputs = layout.plan.outputs;
  const OutputSpec& o = outputs.at(variable % outputs.size());
  const std::string& units = UnitsOf({o.kind, o.index});
  const std::string& name = layout.site.variables.at(variable);
  return units.empty() ? name : name + " (" + units + ")";
}

EnvelopeChartData EnvelopeSoFar(const EnsembleLayout& layout, const FinishedMembers& members,
                                std::size_t variable) {
  std::vector<std::size_t> times(members.Times());
  for (std::size_t t = 0; t < times.size(); ++t) times[t] = t;
  return analysis::EnvelopeChart(*SourceOf(layout, members, times, variable));
}

std::optional<std::size_t> LastRecordedTime(const FinishedMembers& members, std::size_t variable) {
  for (std::size_t t = members.Times(); t-- > 0;)
    for (std::size_t m = 0; m < members.Members(); ++m)
      if (std::isfinite(members.Value(m, t, variable))) return t;
  return std::nullopt;
}

std::vector<std::size_t> RecordedTimes(const FinishedMembers& members, std::size_t variable) {
  std::vector<std::size_t> times;
  for (std::size_t t = 0; t < members.Times(); ++t)
    for (std::size_t m = 0; m < members.Members(); ++m)
      if (std::isfinite(members.Value(m, t, variable))) {
        times.push_back(t);
        break;
      }
  return times;
}

std::vector<double> ValuesAt(const FinishedMembers& members, std::size_t time,
                             std::size_t variable) {
  std::vector<double> y(members.Members());
  for (std::size_t m = 0; m < y.size(); ++m) y[m] = members.Value(m, time, variable);
  return y;
}

TornadoChartData TornadoAt(const EnsembleLayout& layout, const FinishedMembers& members,
                           std::size_t time, std::size_t variable) {
  return analysis::TornadoChart(*SourceAt(layout, members, time, variable), layout.plan.oatStep);
}

std::optional<SobolChartData> SobolAt(const EnsembleLayout& layout, const FinishedMembers& members,
                                      std::size_t time, std::size_t variable) {
  if (layout.design.method != Method::kSobol) return std::nullopt;
  try {
    return analysis::SobolChartsOf(*SourceAt(layout, members, time, variable)).indices;
  } catch (const analysis::EAnalysisError&) {
    return std::nullopt;
  }
}

std::optional<ConvergenceChartData> ConvergenceAt(const EnsembleLayout& layout,
                                                  const FinishedMembers& members, std::size_t time,
                                                  std::size_t variable) {
  if (layout.design.method != Method::kSobol) return std::nullopt;
  try {
    return analysis::SobolChartsOf(*SourceAt(layout, members, time, variable), {.resamples = 0})
        .convergence;
  } catch (const analysis::EAnalysisError&) {
    return std::nullopt;
  }
}

std::optional<MorrisChartData> MorrisAt(const EnsembleLayout& layout,
                                        const FinishedMembers& members, std::size_t time,
                                        std::size_t variable) {
  if (layout.design.method != Method::kMorris) return std::nullopt;
  try {
    return analysis::MorrisChart(*SourceAt(layout, members, time, variable));
  } catch (const analysis::EAnalysisError&) {
    return std::nullopt;
  }
}

std::optional<TornadoChartData> FailurePredictorsOf(const EnsembleLayout& layout,
                                                    const FinishedMembers& members) {
  if (layout.site.variables.empty()) return std::nullopt;
  const analysis::FailureReport report =
      analysis::FailurePredictors(SourceOf(layout, members, {}, 0)->Layout());
  if (report.predictors.empty()) return std::nullopt;
  return analysis::FailurePredictorsChart(report);
}

FailuresChartData FailuresOf(const FinishedMembers& members) {
  std::vector<std::string> errors;
  for (std::size_t m = 0; m < members.Members(); ++m)
    if (members.Finished(m) && members.Failed(m)) errors.push_back(members.Error(m));
  return analysis::FailureReasonsChart(errors, members.Count());
}

}  // namespace kvsorv::ensemble
