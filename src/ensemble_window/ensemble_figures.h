#pragma once
// The figures of an ensemble drawn from the members finished so far: the envelope of an
// output over time, and at one time of the axis the tornado (one-at-a-time changes, or rank
// correlations for other designs), Sobol indices with confidence intervals, Morris effects,
// the convergence of the total indices, and the failures by reason.

#include <optional>
#include <string>

#include "display/ensemble_charts_data.h"
#include "ensemble/sampling.h"
#include "ensemble_window/finished_members.h"

namespace kvsorv::ensemble {

// What the figures are of: the plan, its site's axes and the design run.
struct EnsembleLayout {
  const EnsemblePlan& plan;
  const EnsembleSite& site;
  const Design& design;
};

// A variable's name with its units from the catalogue: "Cf (g C m-2)".
std::string VariableTitle(const EnsembleLayout& layout, std::size_t variable);

// The envelope at every time at which a finished member recorded the variable: EnvelopeOf the
// finite values of the members finished without failure.
EnvelopeChartData EnvelopeSoFar(const EnsembleLayout& layout, const FinishedMembers& members,
                                std::size_t variable);

// The last time of the axis at which a finished member recorded the variable; nullopt when
// none did.
std::optional<std::size_t> LastRecordedTime(const FinishedMembers& members, std::size_t variable);

// The variable's value at `time` of every design row (NaN when not finished or failed).
std::vector<double> ValuesAt(const FinishedMembers& members, std::size_t time,
                             std::size_t variable);

// Spearman rank correlation of two series over the pairs where both are finite (ties share
// their mean rank); NaN with fewer than three pairs or a constant series.
double RankCorrelationOf(const std::vector<double>& a, const std::vector<double>& b);

// One-at-a-time design: each parameter's change of the output from the centre row when it
// moves down and up. Other designs: each parameter's rank correlation with the output.
TornadoChartData TornadoAt(const EnsembleLayout& layout, const FinishedMembers& members,
                           std::size_t time, std::size_t variable);

// Sobol design: first-order and total indices with 95 % bootstrap intervals. Nullopt for
// another design, or when fewer than two base points have all their rows finished.
std::optional<SobolChartData> SobolAt(const EnsembleLayout& layout, const FinishedMembers& members,
                                      std::size_t time, std::size_t variable);

// Sobol design: the total indices from the first n base points, for up to `steps` growing n.
std::optional<ConvergenceChartData> ConvergenceAt(const EnsembleLayout& layout,
                                                  const FinishedMembers& members, std::size_t time,
                                                  std::size_t variable, int steps = 10);

// Morris design: mu* and sigma of each parameter (ranges: the design's spread of each).
std::optional<MorrisChartData> MorrisAt(const EnsembleLayout& layout,
                                        const FinishedMembers& members, std::size_t time,
                                        std::size_t variable);

// The failed members counted by their error text (its first line, cut to 60 characters).
FailuresChartData FailuresOf(const FinishedMembers& members);

}  // namespace kvsorv::ensemble
