#pragma once
// What the calibration charts draw, as plain values, from a chains file: the trace of each
// sampled quantity by chain over the generations, its marginal posterior density beside its
// prior's, the pairwise scatter of two quantities' posterior draws, and the fit of an observed
// output (the observations with their errors over the posterior predictive envelope).

#include <string>
#include <vector>

#include "calibration/calibration_model.h"
#include "calibration/chains_file.h"
#include "charts/ensemble_charts_data.h"

namespace kvsorv {

// The most points a chain's trace or a scatter draws: longer chains are thinned evenly.
inline constexpr std::size_t kMostTracePoints = 2000;
inline constexpr std::size_t kMostScatterPoints = 4000;

struct TraceChartData {
  ChartTitles titles;
  std::vector<double> generations;          // 1-based
  std::vector<std::vector<double>> chains;  // [chain][point]
  double burnIn = 0;                        // the last generation left out
};

struct MarginalChartData {
  ChartTitles titles;
  std::vector<double> x;
  std::vector<double> posterior;  // kernel density of the draws after the burn-in
  std::vector<double> prior;
  std::size_t draws = 0;
};

struct PairsChartData {
  ChartTitles titles;
  std::vector<double> x, y;
  double correlation = 0;  // Pearson's, of all the draws after the burn-in
};

// The position of `name` among the file's quantities. std::invalid_argument naming those it
// has when there is none.
std::size_t QuantityIndex(const calibration::ChainsContents& chains, const std::string& name);

TraceChartData TraceChart(const calibration::ChainsContents& chains, std::size_t quantity);
// Failures: std::invalid_argument when no generation is past the burn-in.
MarginalChartData MarginalChart(const calibration::ChainsContents& chains, std::size_t quantity,
                                const ensemble::Distribution& prior);
PairsChartData PairsChart(const calibration::ChainsContents& chains, std::size_t x, std::size_t y);

// The posterior predictive envelope of an observed output (of one cell) at every output line,
// from `draws` posterior draws run side by side, with the observations of it and their errors
// (one standard deviation either side; on the log scale for log-normal ones). `model` must be
// made from the plan of the chains file. Failures: std::invalid_argument when the output is
// not observed or no generation is past the burn-in.
EnvelopeChartData FitChart(const calibration::CalibrationModel& model,
                           const calibration::ChainsContents& chains, const std::string& output,
                           std::size_t draws, std::size_t threads);

// Each chart's values as CSV, with a header line.
void WriteTraceChartCsv(const std::string& fileName, const std::vector<TraceChartData>& charts);
void WriteMarginalChartCsv(const std::string& fileName,
                           const std::vector<MarginalChartData>& charts);
void WritePairsChartCsv(const std::string& fileName, const std::vector<PairsChartData>& charts);
void WriteFitChartCsv(const std::string& fileName, const EnvelopeChartData& data);

}  // namespace kvsorv
