#include "analysis/analysis_csv.h"
#include "analysis/cell_text.h"

#include <filesystem>

#include "files/csv_table.h"
#include "files/text_writer.h"

namespace kvsorv::analysis {

namespace {

// Rows gathered as text, then written at once.
class CsvText {
 public:
  explicit CsvText(const char* header) : text_(header) { text_ += '\n'; }
  CsvText& operator<<(const std::string& cell) { return Cell(cell); }
  CsvText& operator<<(double x) { return Cell(CellText(x)); }
  CsvText& operator<<(int n) { return Cell(std::to_string(n)); }
  // The stable and reason cells.
  CsvText& operator<<(const Stability& s) { return Cell(StableCell(s)).Cell(s.reason); }
  void EndRow() {
    text_ += '\n';
    first_ = true;
  }
  void WriteTo(const std::string& fileName) {
    TextWriter file(fileName);
    file.Write(text_);
    file.Close();
  }

 private:
  CsvText& Cell(const std::string& cell) {
    if (!first_) text_ += ',';
    text_ += CsvField(cell);
    first_ = false;
    return *this;
  }
  std::string text_;
  bool first_ = true;
};

}  // namespace

void WriteEnvelopeCsv(const std::string& fileName, const std::vector<EnvelopeRow>& rows) {
  CsvText csv(
      "output,time,mean,sd,min,max,q05,q25,q50,q75,q95,members,design_members,stable,reason");
  for (const EnvelopeRow& r : rows) {
    csv << r.output << r.time << r.mean << r.sd << r.min << r.max << r.q05 << r.q25 << r.q50
        << r.q75 << r.q95 << r.members << r.designMembers << r.stability;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteSobolCsv(const std::string& fileName, const std::vector<SobolRow>& rows) {
  CsvText csv(
      "output,time,parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,base_points,design_base_points,"
      "stable,reason");
  for (const SobolRow& r : rows) {
    csv << r.output << r.time << r.parameter << r.s1 << r.s1Low << r.s1High << r.st << r.stLow
        << r.stHigh << r.basePoints << r.designBasePoints << Combined(r.s1Stability, r.stStability);
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteConvergenceCsv(const std::string& fileName, const std::vector<ConvergenceRow>& rows) {
  CsvText csv("output,time,parameter,base_points,S1,ST,first_base_points");
  for (const ConvergenceRow& r : rows) {
    csv << r.output << r.time << r.parameter << r.basePoints << r.s1 << r.st << r.firstBasePoints;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteMorrisCsv(const std::string& fileName, const std::vector<MorrisRow>& rows) {
  CsvText csv("output,time,parameter,mu,mu_star,sigma,effects,trajectories,stable,reason");
  for (const MorrisRow& r : rows) {
    csv << r.output << r.time << r.parameter << r.mu << r.muStar << r.sigma << r.effects
        << r.trajectories << r.stability;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteLocalCsv(const std::string& fileName, const std::vector<LocalRow>& rows) {
  CsvText csv("output,time,parameter,coefficient,half_step_coefficient,difference,stable,reason");
  for (const LocalRow& r : rows) {
    csv << r.output << r.time << r.parameter << r.coefficient << r.halfStep << r.difference
        << r.stability;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteLocalSummaryCsv(const std::string& fileName, const std::vector<LocalSummaryRow>& rows) {
  CsvText csv("output,parameter,L1,L2,mean,min,max,times");
  for (const LocalSummaryRow& r : rows) {
    csv << r.output << r.parameter << r.l1 << r.l2 << r.mean << r.min << r.max << r.times;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteCollinearityCsv(const std::string& fileName, const std::vector<CollinearityRow>& rows) {
  CsvText csv("parameters,size,collinearity");
  for (const CollinearityRow& r : rows) {
    std::string names;
    for (const auto& p : r.parameters) names += (names.empty() ? "" : "+") + p;
    csv << names << static_cast<int>(r.parameters.size()) << r.index;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

void WriteFailuresCsv(const std::string& fileName, const std::vector<FailureRow>& rows) {
  CsvText csv("parameter,failed_mean,done_mean,rank_biserial,p_value,failed,done");
  for (const FailureRow& r : rows) {
    csv << r.parameter << r.failedMean << r.doneMean << r.rankBiserial << r.pValue << r.failed
        << r.done;
    csv.EndRow();
  }
  csv.WriteTo(fileName);
}

std::string CompanionFile(const std::string& fileName, const std::string& suffix) {
  const std::filesystem::path path(fileName);
  const std::filesystem::path stem =
      path.extension() == ".csv" ? path.parent_path() / path.stem() : path;
  return stem.string() + "-" + suffix + ".csv";
}

}  // namespace kvsorv::analysis
