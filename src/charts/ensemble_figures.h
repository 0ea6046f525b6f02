#pragma once
// The figures of an ensemble drawn from the members finished so far: the envelope of an
// output over time, and at one time of the axis the tornado (one-at-a-time changes, or rank
// correlations for other designs), Sobol indices with confidence intervals, Morris effects,
// the convergence of the total indices, and the failures by reason.

#include <optional>
#include <string>

#include "charts/analysis_charts.h"
#include "charts/ensemble_charts_data.h"
#include "ensemble/finished_members.h"
#include "ensemble/sampling.h"

namespace kvsorv::ensemble {

// What the figures are of: the plan, its site's axes and the design run.
struct EnsembleLayout {
  const EnsemblePlan& plan;
  const EnsembleSite& site;
  const Design& design;
};

// A variable's name with its units from the catalogue: "Cf (g C m-2)".
std::string VariableTitle(const EnsembleLayout& layout, std::size_t variable);

// The envelope at every time at which a member finished without failure recorded the variable
// (analysis::EnvelopeChart of those members).
EnvelopeChartData EnvelopeSoFar(const EnsembleLayout& layout, const FinishedMembers& members,
                                std::size_t variable);

// The last time of the axis at which a finished member recorded the variable; nullopt when
// none did.
std::optional<std::size_t> LastRecordedTime(const FinishedMembers& members, std::size_t variable);

// The times of the axis at which a finished member recorded the variable, in order.
std::vector<std::size_t> RecordedTimes(const FinishedMembers& members, std::size_t variable);

// The variable's value at `time` of every design row (NaN when not finished or failed).
std::vector<double> ValuesAt(const FinishedMembers& members, std::size_t time,
                             std::size_t variable);

// The figures at one time are those of `kvsorv-cli plot` (analysis/analysis_charts.h) of the
// members finished so far, failed ones counting as failed and the others as missing.

// One-at-a-time design: each parameter's change of the output from the centre row when it
// moves down and up. Other designs: each parameter's rank correlation with the output.
TornadoChartData TornadoAt(const EnsembleLayout& layout, const FinishedMembers& members,
                           std::size_t time, std::size_t variable);

// Sobol design: first-order and total indices with 95 % bootstrap intervals. Nullopt for
// another design, or when the analysis refuses the members finished (too few whole base
// points).
std::optional<SobolChartData> SobolAt(const EnsembleLayout& layout, const FinishedMembers& members,
                                      std::size_t time, std::size_t variable);

// Sobol design: the total indices from the first N/4, N/2 and N base points; nullopt as
// SobolAt.
std::optional<ConvergenceChartData> ConvergenceAt(const EnsembleLayout& layout,
                                                  const FinishedMembers& members, std::size_t time,
                                                  std::size_t variable);

// Morris design: mu* and sigma of each parameter (effects scaled by the design's spread of
// each); nullopt for another design or too few steps between members finished.
std::optional<MorrisChartData> MorrisAt(const EnsembleLayout& layout,
                                        const FinishedMembers& members, std::size_t time,
                                        std::size_t variable);

// The failed members counted by their error text (its first line, cut to 60 characters).
FailuresChartData FailuresOf(const FinishedMembers& members);

// Which parameters predict failure among the members finished (rank-biserial correlations);
// nullopt while too few members failed or are done to tell.
std::optional<TornadoChartData> FailurePredictorsOf(const EnsembleLayout& layout,
                                                    const FinishedMembers& members);

}  // namespace kvsorv::ensemble
