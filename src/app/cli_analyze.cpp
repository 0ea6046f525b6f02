// kvsorv-cli analyze: sensitivity and uncertainty of ensemble outputs over time, from a results
// file, or from a plain table of members (the design's columns, then the outputs) as any
// model's ensemble can give.

#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/analysis_csv.h"
#include "analysis/collinearity.h"
#include "analysis/envelope_over_time.h"
#include "analysis/failures.h"
#include "analysis/local_sensitivity.h"
#include "analysis/member_table.h"
#include "analysis/morris_over_time.h"
#include "analysis/results_reader.h"
#include "analysis/sobol_over_time.h"
#include "analysis/table_source.h"
#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "app/progress_line.h"
#include "tasks/feedback.h"

namespace kvsorv::cli {

namespace {

using namespace kvsorv::analysis;

struct AnalyzeOptions {
  std::string method;
  std::string input;
  std::vector<std::string> outputs;
  std::vector<double> times;
  std::optional<double> inputs;
  std::optional<std::string> design;
  std::optional<double> resamples;
  std::optional<double> tolerance;
  std::string output;
};

void Tell(const std::vector<std::string>& lines, const char* prefix = "note: ") {
  for (const std::string& line : lines) std::cerr << prefix << line << '\n';
}

std::unique_ptr<SeriesSource> OpenInput(const AnalyzeOptions& o) {
  if (!o.inputs) return OpenResults(o.input, {o.outputs, o.times});
  if (!o.outputs.empty() || !o.times.empty())
    throw std::invalid_argument("--outputs and --times choose from a results file, not a table");
  const double k = *o.inputs;
  if (!(k >= 1) || k != static_cast<double>(static_cast<std::size_t>(k)))
    throw std::invalid_argument("--inputs must be the number of design columns, a whole number");
  // A table analysed without --design is taken to have the design its analysis needs.
  const std::string needed = o.method == "local" ? "oat" : o.method == "envelope" ? "mc" : o.method;
  const std::string design = o.design.value_or(needed);
  if (design != "mc" && design != "lhs" && design != "sobol" && design != "morris" &&
      design != "oat")
    throw std::invalid_argument("--design must be mc, lhs, sobol, morris or oat");
  return TableSource(ReadMemberTable(o.input), o.input, static_cast<std::size_t>(k), design);
}

int Analyze(const AnalyzeOptions& o) {
  if (o.method != "local" && o.method != "morris" && o.method != "sobol" && o.method != "envelope")
    throw std::invalid_argument("the analysis must be local, morris, sobol or envelope");
  RefuseInputAsOutput(
      "-o",
      {o.output, CompanionFile(o.output, "convergence"), CompanionFile(o.output, "summary"),
       CompanionFile(o.output, "collinearity"), CompanionFile(o.output, "failures")},
      {o.input});
  // How far the analysis has come, once it has taken a few seconds.
  ProgressLine line("series", o.method, false, 3.0);
  Feedback feedback;
  feedback.OnProgress([&](const FeedbackProgress& p) { line.Update(p.done, p.total); });
  const std::unique_ptr<SeriesSource> source = OpenInput(o);
  const EnsembleLayout& layout = source->Layout();
  const FailureReport failures = FailurePredictors(layout);
  std::cerr << FailureSummary(failures) << '\n';

  if (o.method == "envelope") {
    const EnvelopeResult r = EnvelopeOverTime(*source, &feedback);
    Tell(r.notes);
    Tell(r.warnings, "warning: ");
    WriteEnvelopeCsv(o.output, r.rows);
  } else if (o.method == "sobol") {
    SobolOptions options;
    if (o.resamples) {
      if (!(*o.resamples >= 0 && *o.resamples <= 100000) ||
          *o.resamples != static_cast<int>(*o.resamples))
        throw std::invalid_argument("--resamples must be a whole number from 0 to 100000");
      options.resamples = static_cast<int>(*o.resamples);
    }
    const SobolResult r = SobolOverTime(*source, options, &feedback);
    std::cerr << r.completeBasePoints << " of " << r.basePoints
              << " base points have all their members done\n";
    Tell(r.notes);
    Tell(r.warnings, "warning: ");
    WriteSobolCsv(o.output, r.rows);
    WriteConvergenceCsv(CompanionFile(o.output, "convergence"), r.convergence);
  } else if (o.method == "morris") {
    const MorrisResult r = MorrisOverTime(*source, &feedback);
    std::cerr << r.completeTrajectories << " of " << r.trajectories
              << " trajectories have all their members done\n";
    Tell(r.notes);
    Tell(r.warnings, "warning: ");
    WriteMorrisCsv(o.output, r.rows);
  } else {
    LocalOptions options;
    if (o.tolerance) {
      if (!(*o.tolerance > 0)) throw std::invalid_argument("--tolerance must be above 0");
      options.tolerance = *o.tolerance;
    }
    const LocalResult r = LocalOverTime(*source, options, &feedback);
    Tell(r.notes);
    Tell(r.warnings, "warning: ");
    const CollinearityResult c = CollinearityOf(r);
    Tell(c.notes);
    WriteLocalCsv(o.output, r.rows);
    WriteLocalSummaryCsv(CompanionFile(o.output, "summary"), SummariseLocal(r));
    WriteCollinearityCsv(CompanionFile(o.output, "collinearity"), c.rows);
  }
  line.End(feedback.Progress().done, layout.Series());
  WriteFailuresCsv(CompanionFile(o.output, "failures"), failures.predictors);
  std::cerr << o.method << " of " << layout.outputs.size() << " outputs at " << layout.times.size()
            << (layout.times.size() == 1 ? " time" : " times") << " written to " << o.output
            << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareAnalyze(CLI::App& command) {
  auto o = std::make_shared<AnalyzeOptions>();
  command.add_option("method", o->method, "local, morris, sobol or envelope")->required();
  NotEmpty(command.add_option("input", o->input,
                              "A results file (netCDF), or with --inputs a table of members (CSV)"))
      ->required()
      ->type_name("FILE");
  command.add_option("--outputs", o->outputs, "Outputs to analyse, all unless given")
      ->delimiter(',')
      ->type_name("SYM,...");
  command.add_option("--times", o->times, "Times to analyse, all unless given")
      ->delimiter(',')
      ->type_name("T,...");
  AddNumber(command, "--inputs", "K", o->inputs,
            "A table: how many of the first columns are the design's");
  AddText(command, "--design", "METHOD", o->design,
          "A table's design: mc, lhs, sobol, morris or oat; the analysis's own unless given");
  AddNumber(command, "--resamples", "B", o->resamples,
            "sobol: bootstrap resamples, " + std::to_string(kDefaultResamples) + " unless given");
  AddNumber(command, "--tolerance", "X", o->tolerance,
            "local: largest |S_h - S_h/2| / max(1, |S_h/2|) that passes, 0.01 unless given");
  AddRequiredText(command, "-o,--output", "FILE", o->output, "Results to write (CSV)");
  return [o] { return Analyze(*o); };
}

}  // namespace kvsorv::cli
