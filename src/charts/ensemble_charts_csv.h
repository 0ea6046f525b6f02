#pragma once
// What an ensemble chart draws, as CSV beside its picture: a header line naming the columns,
// then one row per drawn item, numbers with 10 significant digits (%.10g), an empty cell for a
// value that is not drawn (not finite). Failures: EInOutError naming the file when it cannot
// be written (a previous file stays as it was).

#include <string>

#include "charts/ensemble_charts_data.h"

namespace kvsorv {

// time,q05,q25,q50,q75,q95,mean,observed,members: a row per envelope time (observed empty),
// then a row per observation (only time and observed).
void WriteEnvelopeChartCsv(const std::string& fileName, const EnvelopeChartData& data);
// parameter,low,high: the change (or correlation) down and up, in the data's order.
void WriteTornadoChartCsv(const std::string& fileName, const TornadoChartData& data);
// parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,stable,reason
void WriteSobolChartCsv(const std::string& fileName, const SobolChartData& data);
// parameter,mu_star,sigma,stable,reason
void WriteMorrisChartCsv(const std::string& fileName, const MorrisChartData& data);
// parameter,base_points,ST,first_base_points: a row per point of each line.
void WriteConvergenceChartCsv(const std::string& fileName, const ConvergenceChartData& data);
// reason,members: a row per failure reason.
void WriteFailuresChartCsv(const std::string& fileName, const FailuresChartData& data);

}  // namespace kvsorv
