#pragma once
// The calibration charts on Qt Charts, drawn from their plain data (charts/calibration_charts.h)
// so that the calibration window and the command-line tool draw the same: traces by chain,
// marginal densities over their priors, pairwise scatter. The fit is the envelope chart with
// the observations' error bars. Each returns a new chart the caller owns.

#include <QSize>
#include <string>
#include <vector>

#include "charts/calibration_charts.h"

class QChart;

namespace kvsorv {

// One line per chain over the generations, the burn-in shaded.
QChart* MakeTraceChart(const TraceChartData& data);
// The posterior's density as a line over the prior's, dashed.
QChart* MakeMarginalChart(const MarginalChartData& data);
// The draws of two quantities as points.
QChart* MakePairsChart(const PairsChartData& data);

// Draws several charts (taken over and deleted), each `cell` pixels large, `columns` to a row,
// into one picture as SaveEnsembleChart does. Needs a QApplication; no display.
void SaveChartGrid(const std::vector<QChart*>& charts, QSize cell, int columns,
                   const std::string& fileName);

}  // namespace kvsorv
