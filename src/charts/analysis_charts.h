#pragma once
// The plain data of the ensemble charts (display/ensemble_charts_data.h) built from the
// analyses, so that the ensemble window and `kvsorv-cli plot` draw the same numbers: the
// envelope of an output over time, and at one time the tornado, the Sobol indices and their
// convergence, the Morris effects; which parameters predict failure, and the failures by
// reason. Each chart of an output takes a source selecting that single output (at a single
// time, except the envelope); titles name the output with its units and the time.

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/failures.h"
#include "analysis/series_source.h"
#include "analysis/sobol_over_time.h"
#include "charts/ensemble_charts_data.h"

namespace kvsorv::analysis {

// "Cf (g C m-2)": the symbol with its units from the catalogue; the symbol alone when the
// catalogue has no units for it.
std::string OutputTitle(const std::string& symbol);

// The quantiles and mean at every time at which a member done has a value.
// EAnalysisError when the source holds more than one output.
EnvelopeChartData EnvelopeChart(SeriesSource& source);

// One-at-a-time design: each parameter's change of the output from the centre member when it
// moves down and up by the whole step (members 1 + 4j and 2 + 4j; `oatStep` relative, for the
// title). Other designs: each parameter's rank correlation with the output over the members
// done. EAnalysisError unless the source holds one output at one time.
TornadoChartData TornadoChart(SeriesSource& source, double oatStep);

// Sobol indices with their 95 % intervals, and their convergence: the total indices from the
// first N/4, N/2 and N base points (SobolOverTime's). EAnalysisError as SobolOverTime raises
// it, or unless the source holds one output at one time.
struct SobolCharts {
  SobolChartData indices;
  ConvergenceChartData convergence;
  std::vector<std::string> notes;  // indices left empty, and why
};
SobolCharts SobolChartsOf(SeriesSource& source, const SobolOptions& options = {});

// mu* and sigma of each parameter (MorrisOverTime's). EAnalysisError as MorrisOverTime raises
// it, or unless the source holds one output at one time.
MorrisChartData MorrisChart(SeriesSource& source);

// Which parameters predict failure: each parameter's rank-biserial correlation of the failed
// members' values against those of the members done, as tornado bars (negative: failed
// members had lower values). No bars when too few members failed.
TornadoChartData FailurePredictorsChart(const FailureReport& report);

// The failed members counted by their error text (its first line, cut to 60 characters), of
// `finished` members finished.
FailuresChartData FailureReasonsChart(const std::vector<std::string>& errors, std::size_t finished);

}  // namespace kvsorv::analysis
