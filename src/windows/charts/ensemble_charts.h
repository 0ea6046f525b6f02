#pragma once
// The ensemble charts on Qt Charts, drawn from their plain data without any window, so the
// ensemble window and the command-line tool draw the same: the envelope of an output over
// time, the tornado, Sobol indices with interval whiskers, the Morris mu*-sigma plane, the
// convergence of indices and the failures of members. Each returns a new chart the caller
// owns (a QChartView takes it over).

#include <QSize>
#include <string>

#include "charts/ensemble_charts_data.h"

class QChart;

namespace kvsorv {

// Bands of 5-95 % and 25-75 % as shaded areas, the median as a line, the mean dashed, the
// observations (when any) as points with their own legend entry; time along the bottom.
QChart* MakeEnvelopeChart(const EnvelopeChartData& data);
// Horizontal bars sorted by magnitude (largest on top), the low and high sides in two colours.
QChart* MakeTornadoChart(const TornadoChartData& data);
// S1 and ST of each parameter side by side, each with its confidence interval as a whisker.
QChart* MakeSobolChart(const SobolChartData& data);
// One labelled point per parameter: mu* along the bottom, sigma up the side.
QChart* MakeMorrisChart(const MorrisChartData& data);
// One line per parameter: the index against the base points it was estimated from.
QChart* MakeConvergenceChart(const ConvergenceChartData& data);
// Horizontal bars: members per failure reason.
QChart* MakeFailuresChart(const FailuresChartData& data);

// Draws the chart (taken over and deleted) `size` pixels large into a file as SaveChartFile
// does: PNG, SVG or PDF by the name's extension. Needs a QApplication; no display.
void SaveEnsembleChart(QChart* chart, QSize size, const std::string& fileName);

}  // namespace kvsorv
