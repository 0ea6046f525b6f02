#include "charts/ensemble_charts_csv.h"

#include "analysis/cell_text.h"
#include "charts/chart_csv.h"

namespace kvsorv {

namespace {

using analysis::CellText;

}  // namespace

void WriteEnvelopeChartCsv(const std::string& fileName, const EnvelopeChartData& data) {
  std::string text = "time,q05,q25,q50,q75,q95,mean,observed,members\n";
  for (std::size_t t = 0; t < data.times.size(); ++t)
    text += CsvLine({CellText(data.times[t]), CellText(data.q05[t]), CellText(data.q25[t]),
                     CellText(data.q50[t]), CellText(data.q75[t]), CellText(data.q95[t]),
                     CellText(data.mean[t]), "",
                     t < data.counts.size() ? CellText(data.counts[t]) : ""});
  const ObservedPoints& o = data.observed;
  for (std::size_t i = 0; i < o.times.size() && i < o.values.size(); ++i)
    text += CsvLine({CellText(o.times[i]), "", "", "", "", "", "", CellText(o.values[i]), ""});
  WriteChartCsvText(fileName, text);
}

void WriteTornadoChartCsv(const std::string& fileName, const TornadoChartData& data) {
  std::string text = "parameter,low,high\n";
  for (const TornadoBar& b : data.bars)
    text += CsvLine({b.parameter, CellText(b.low), CellText(b.high)});
  WriteChartCsvText(fileName, text);
}

void WriteSobolChartCsv(const std::string& fileName, const SobolChartData& data) {
  std::string text = "parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,stable,reason\n";
  for (const SobolBar& b : data.bars)
    text += CsvLine({b.parameter, CellText(b.first), CellText(b.firstLow), CellText(b.firstHigh),
                     CellText(b.total), CellText(b.totalLow), CellText(b.totalHigh), b.stable,
                     b.reason});
  WriteChartCsvText(fileName, text);
}

void WriteFailuresChartCsv(const std::string& fileName, const FailuresChartData& data) {
  std::string text = "reason,members\n";
  for (const FailureCount& c : data.counts) text += CsvLine({c.reason, std::to_string(c.members)});
  WriteChartCsvText(fileName, text);
}

void WriteMorrisChartCsv(const std::string& fileName, const MorrisChartData& data) {
  std::string text = "parameter,mu_star,sigma,stable,reason\n";
  for (const MorrisPoint& p : data.points)
    text += CsvLine({p.parameter, CellText(p.muStar), CellText(p.sigma), p.stable, p.reason});
  WriteChartCsvText(fileName, text);
}

void WriteConvergenceChartCsv(const std::string& fileName, const ConvergenceChartData& data) {
  std::string text = "parameter,base_points,ST,first_base_points\n";
  for (const ConvergenceLine& line : data.lines)
    for (std::size_t i = 0; i < line.values.size() && i < data.basePoints.size(); ++i)
      text += CsvLine({line.parameter, CellText(data.basePoints[i]), CellText(line.values[i]),
                       i < data.firstBasePoints.size() ? CellText(data.firstBasePoints[i]) : ""});
  WriteChartCsvText(fileName, text);
}

}  // namespace kvsorv
