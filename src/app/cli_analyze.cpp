// kvsorv-cli analyze: sensitivity and uncertainty of ensemble outputs from a plain table of
// members (the design's columns, then the outputs), as any model's ensemble can give.

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/estimators.h"
#include "analysis/member_table.h"
#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "files/text_writer.h"

namespace kvsorv::cli {

namespace {

using namespace kvsorv::analysis;

struct AnalyzeOptions {
  std::string method;
  std::string table;
  std::optional<double> inputs;
  std::string output;
};

std::string Number(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", x);
  return text;
}

int Analyze(const AnalyzeOptions& o) {
  const MemberTable t = ReadMemberTable(o.table);
  const double given = o.inputs.value_or(0);
  const auto k = static_cast<std::size_t>(given);
  if (!(given >= 1) || given != static_cast<double>(k) || k >= t.names.size())
    throw std::invalid_argument("--inputs must be the number of design columns, from 1 to " +
                                std::to_string(t.names.size() - 1));
  std::size_t failed = 0;
  for (const auto& row : t.rows)
    for (std::size_t c = k; c < row.size(); ++c)
      if (!std::isfinite(row[c])) {
        ++failed;
        break;
      }

  TextWriter out(o.output);
  if (o.method == "sobol") {
    out.Write("output,parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,base_points\n");
    for (std::size_t c = k; c < t.names.size(); ++c) {
      const SobolIndices s = SobolFromCrossSample(t.Column(c), static_cast<int>(k));
      for (std::size_t j = 0; j < k; ++j)
        out.Write(t.names[c] + "," + t.names[j] + "," + Number(s.first[j]) + "," +
                  Number(s.firstLow[j]) + "," + Number(s.firstHigh[j]) + "," + Number(s.total[j]) +
                  "," + Number(s.totalLow[j]) + "," + Number(s.totalHigh[j]) + "," +
                  std::to_string(s.usedBasePoints) + "\n");
    }
  } else if (o.method == "morris") {
    std::vector<std::vector<double>> design;
    for (const auto& row : t.rows)
      design.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(k));
    std::vector<double> ranges(k);
    for (std::size_t j = 0; j < k; ++j) {
      double lo = INFINITY, hi = -INFINITY;
      for (const auto& row : design) lo = std::min(lo, row[j]), hi = std::max(hi, row[j]);
      ranges[j] = hi > lo ? hi - lo : 1.0;
    }
    out.Write("output,parameter,mu,mu_star,sigma,effects\n");
    for (std::size_t c = k; c < t.names.size(); ++c) {
      const MorrisEffects m = MorrisFromTrajectories(design, t.Column(c), ranges);
      for (std::size_t j = 0; j < k; ++j)
        out.Write(t.names[c] + "," + t.names[j] + "," + Number(m.mu[j]) + "," +
                  Number(m.muStar[j]) + "," + Number(m.sigma[j]) + "," +
                  std::to_string(m.effects[j]) + "\n");
    }
  } else if (o.method == "envelope") {
    out.Write("output,mean,sd,min,max,q05,q25,q50,q75,q95,members\n");
    for (std::size_t c = k; c < t.names.size(); ++c) {
      const Envelope e = EnvelopeOf(t.Column(c));
      out.Write(t.names[c] + "," + Number(e.mean) + "," + Number(e.sd) + "," + Number(e.min) + "," +
                Number(e.max) + "," + Number(e.q05) + "," + Number(e.q25) + "," + Number(e.q50) +
                "," + Number(e.q75) + "," + Number(e.q95) + "," + std::to_string(e.members) + "\n");
    }
  } else {
    throw std::invalid_argument("the analysis must be sobol, morris or envelope");
  }
  out.Close();
  std::cerr << t.rows.size() << " members, " << failed << " failed; " << o.method << " written to "
            << o.output << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareAnalyze(CLI::App& command) {
  auto o = std::make_shared<AnalyzeOptions>();
  command.add_option("method", o->method, "sobol, morris or envelope")->required();
  command.add_option("table", o->table, "Members: the design's columns, then the outputs (CSV)")
      ->required()
      ->type_name("FILE");
  AddNumber(command, "--inputs", "K", o->inputs, "How many of the first columns are the design's");
  AddRequiredText(command, "-o,--output", "FILE", o->output, "Results to write (CSV)");
  return [o] { return Analyze(*o); };
}

}  // namespace kvsorv::cli
