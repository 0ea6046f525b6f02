#pragma once
// What the ensemble charts draw, as plain values: the envelope of an output over time, the
// tornado of one-at-a-time changes or rank correlations, Sobol indices with their intervals,
// Morris effects, the convergence of indices and the failures of members. Filled by the
// ensemble window's session or by a command-line tool; drawn by the chart functions.

#include <string>
#include <vector>

#include "files/observations_file.h"

namespace kvsorv {

// Titles every chart has: the chart's own (naming the output and time) and its axes (with
// units where known).
struct ChartTitles {
  std::string chart;
  std::string x;
  std::string y;
};

// Quantiles and mean of an output across members at each time (all vectors as long as
// `times`).
struct EnvelopeChartData {
  ChartTitles titles;
  std::vector<double> times;
  std::vector<double> q05, q25, q50, q75, q95;
  std::vector<double> mean;
  std::vector<double> counts{};  // members with a value at each time
  int members = 0;               // members done, that the envelope is of (shown in the title)
  int designMembers = 0;         // of the design
  std::string
      fewMembers{};  // "only 10 of 16 members (fewer than 30), too few ..."; empty if enough
  ObservedPoints observed;
};

// One bar of a tornado: the output's change when the parameter moves down (`low`) and up
// (`high`); for a rank correlation one of them is 0.
struct TornadoBar {
  std::string parameter;
  double low = 0.0;
  double high = 0.0;
};

struct TornadoChartData {
  ChartTitles titles;
  std::string lowLegend = "parameter down";
  std::string highLegend = "parameter up";
  std::vector<TornadoBar> bars;  // in any order: the chart sorts them by magnitude
};

// First-order and total indices of each parameter with the ends of their confidence
// intervals, and whether each is usable yet.
struct SobolBar {
  std::string parameter;
  double first = 0.0, firstLow = 0.0, firstHigh = 0.0;
  double total = 0.0, totalLow = 0.0, totalHigh = 0.0;
  bool firstUnstable = false, totalUnstable = false;  // drawn hatched
  std::string stable{};  // "yes", "no" or empty when not judged, as the analysis CSV's cell
  std::string reason{};  // why either is unstable (or not judged)
};

struct SobolChartData {
  ChartTitles titles;
  std::vector<SobolBar> bars;
  std::string unstableLegend{};  // what marks an unstable bar, for the legend
};

struct MorrisPoint {
  std::string parameter;
  double muStar = 0.0;
  double sigma = 0.0;
  bool unstable = false;  // drawn hollow
  std::string stable{};   // "yes", "no" or empty when not judged, as the analysis CSV's cell
  std::string reason{};   // why mu* is unstable (or not judged)
};

struct MorrisChartData {
  ChartTitles titles;
  std::vector<MorrisPoint> points;
  std::string unstableLegend{};  // what marks an unstable point, for the legend
};

// An index of each parameter estimated from the first n base points, for growing n.
struct ConvergenceLine {
  std::string parameter;
  std::vector<double> values;  // one per entry of ConvergenceChartData::basePoints
};

struct ConvergenceChartData {
  ChartTitles titles;
  std::vector<double> basePoints;         // used: of the first n, those whose members are all done
  std::vector<double> firstBasePoints{};  // n, for each entry of basePoints
  std::vector<ConvergenceLine> lines;
};

// How many members failed for each reason.
struct FailureCount {
  std::string reason;
  int members = 0;
};

struct FailuresChartData {
  ChartTitles titles;
  std::vector<FailureCount> counts;
};

}  // namespace kvsorv
