// kvsorv-cli plot KIND RESULTS.nc: the ensemble window's charts of a results file drawn
// without a display, each with the CSV of what it draws beside the picture (FILE-data.csv for
// FILE.png: not FILE.csv, which is too often the name of a design or observations file). The
// charts' data come from analysis/analysis_charts.h, as the window's do.

#include <QApplication>
#include <QSize>
#include <array>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/analysis_csv.h"
#include "analysis/failures.h"
#include "analysis/results_reader.h"
#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "charts/analysis_charts.h"
#include "charts/ensemble_charts_csv.h"
#include "display/chart_file.h"
#include "ensemble/results_file.h"
#include "files/observations_file.h"
#include "windows/charts/ensemble_charts.h"

namespace kvsorv::cli {

// Defined in cli_plot.cpp.
std::unique_ptr<QApplication> StartOffscreenQt();

namespace {

using namespace kvsorv::analysis;

// The picture's size in pixels, as the output display's chart.
constexpr int kWidth = 1200;
constexpr int kHeight = 800;

struct Kind {
  const char* name;
  const char* description;
  bool ofOneTime;  // drawn at one time (--time), not over time
};

constexpr std::array kKinds = {
    Kind{"envelope", "One output over time: 5-95 % and 25-75 % bands, median and mean.", false},
    Kind{"tornado",
         "One output at one time: the change per parameter step (one-at-a-time design) or "
         "each parameter's rank correlation with it.",
         true},
    Kind{"sobol", "One output at one time: Sobol indices with 95 % intervals (Sobol design).",
         true},
    Kind{"morris", "One output at one time: Morris mu* against sigma (Morris design).", true},
    Kind{"convergence",
         "One output at one time: the total Sobol indices from N/4, N/2 and N base points.", true},
    Kind{"failures",
         "Which parameters predict failure: each one's rank-biserial correlation with it.", false},
};

struct EnsemblePlotOptions {
  std::string results;
  std::optional<std::string> output;
  std::optional<double> time;
  std::optional<std::string> observations;
  std::string image;
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

// The output to draw: --output, or the file's only one.
std::string ChosenOutput(const EnsemblePlotOptions& o) {
  const std::unique_ptr<SeriesSource> source = OpenResults(o.results);
  const EnsembleLayout& layout = source->Layout();
  if (o.output) {
    OpenResults(o.results, {.outputs = {*o.output}});  // refused, naming those it holds
    return *o.output;
  }
  if (layout.outputs.size() == 1) return layout.outputs.front();
  throw std::invalid_argument(o.results + " holds several outputs (" + Joined(layout.outputs) +
                              "): choose one with --output SYM");
}

// --time, or the last time at which a member done has a value of the output.
double ChosenTime(const EnsemblePlotOptions& o, const std::string& output) {
  if (o.time) return *o.time;
  const EnvelopeChartData envelope = EnvelopeChart(*OpenResults(o.results, {{output}, {}}));
  if (envelope.times.empty())
    throw std::invalid_argument(o.results + ": no member done has a value of " + output);
  return envelope.times.back();
}

// The failed members' reasons, one note line each, for the failures chart.
void TellFailureReasons(const std::string& results) {
  const ensemble::ResultsFile file = ensemble::ResultsFile::OpenToRead(results);
  const std::vector<ensemble::MemberStatus> statuses = file.Statuses();
  std::vector<std::string> errors;
  std::size_t finished = 0;
  for (std::size_t m = 0; m < statuses.size(); ++m) {
    if (statuses[m] == ensemble::MemberStatus::kMissing) continue;
    ++finished;
    if (statuses[m] == ensemble::MemberStatus::kFailed) errors.push_back(file.ErrorOf(m));
  }
  for (const FailureCount& c : FailureReasonsChart(errors, finished).counts)
    std::cerr << "note: " << c.members << (c.members == 1 ? " member" : " members")
              << " failed: " << c.reason << '\n';
}

int PlotKind(const Kind& kind, const EnsemblePlotOptions& o) {
  if (!ChartFileFormatOf(o.image)) throw std::invalid_argument(UnknownChartFormatMessage(o.image));
  if (o.observations && std::string(kind.name) != "envelope")
    throw std::invalid_argument("--obs: observations are laid over the envelope only");
  if (o.time && !kind.ofOneTime)
    throw std::invalid_argument(std::string("--time: the ") + kind.name +
                                " chart is not of one time");
  const std::string csv = ChartDataFileName(o.image);
  RefuseInputAsOutput("--image", {o.image, csv},
                      {o.results, o.observations.value_or(std::string())});
  const std::string name = kind.name;

  // The data first, so that a refused chart writes nothing; Qt starts only to draw.
  std::function<QChart*()> make;
  if (name == "failures") {
    const FailureReport report = FailurePredictors(OpenResults(o.results)->Layout());
    std::cerr << FailureSummary(report) << '\n';
    if (report.predictors.empty())
      throw std::invalid_argument(o.results + ": " + std::to_string(report.failed) +
                                  " failed members; at least " +
                                  std::to_string(kMinimumFailuresForPredictors) +
                                  " failed and done are needed to rank the parameters");
    TellFailureReasons(o.results);
    WriteFailuresCsv(csv, report.predictors);
    make = [data = FailurePredictorsChart(report)] { return MakeTornadoChart(data); };
  } else if (name == "envelope") {
    const std::string output = ChosenOutput(o);
    EnvelopeChartData data = EnvelopeChart(*OpenResults(o.results, {{output}, {}}));
    if (o.observations) data.observed = ReadObservations(*o.observations, output);
    if (!data.fewMembers.empty())
      std::cerr << "warning: " << output << ": " << data.fewMembers << '\n';
    WriteEnvelopeChartCsv(csv, data);
    make = [data] { return MakeEnvelopeChart(data); };
  } else {
    const std::string output = ChosenOutput(o);
    const double time = ChosenTime(o, output);
    const std::unique_ptr<SeriesSource> source = OpenResults(o.results, {{output}, {time}});
    if (name == "tornado") {
      const double step = ensemble::ResultsFile::OpenToRead(o.results).Describe().oatStep;
      const TornadoChartData data = TornadoChart(*source, step);
      WriteTornadoChartCsv(csv, data);
      make = [data] { return MakeTornadoChart(data); };
    } else if (name == "morris") {
      const MorrisChartData data = MorrisChart(*source);
      for (const MorrisPoint& p : data.points)
        if (p.unstable) std::cerr << "warning: " << p.parameter << ": " << p.reason << '\n';
      WriteMorrisChartCsv(csv, data);
      make = [data] { return MakeMorrisChart(data); };
    } else {
      const SobolCharts charts = SobolChartsOf(*source);
      for (const std::string& note : charts.notes) std::cerr << "note: " << note << '\n';
      if (name == "sobol") {
        for (const SobolBar& b : charts.indices.bars)
          if (b.firstUnstable || b.totalUnstable)
            std::cerr << "warning: " << b.parameter << ": " << b.reason << '\n';
        WriteSobolChartCsv(csv, charts.indices);
        make = [data = charts.indices] { return MakeSobolChart(data); };
      } else {
        WriteConvergenceChartCsv(csv, charts.convergence);
        make = [data = charts.convergence] { return MakeConvergenceChart(data); };
      }
    }
  }
  const std::unique_ptr<QApplication> application = StartOffscreenQt();
  SaveEnsembleChart(make(), QSize(kWidth, kHeight), o.image);
  std::cerr << name << " drawn to " << o.image << ", its values in " << csv << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareEnsemblePlots(CLI::App& plot) {
  plot.require_subcommand(0, 1);
  std::vector<std::pair<CLI::App*, const Kind*>> declared;
  auto o = std::make_shared<EnsemblePlotOptions>();
  for (const Kind& kind : kKinds) {
    CLI::App* command = plot.add_subcommand(kind.name, kind.description);
    command->footer("Beside the picture, FILE-data.csv holds what it draws, with a header line.");
    NotEmpty(command->add_option("results", o->results, "The ensemble's results file (netCDF)"))
        ->required()
        ->type_name("RESULTS.nc");
    if (std::string(kind.name) != "failures")
      AddText(*command, "--output", "SYM", o->output,
              "The output to draw; needed when the file holds several");
    if (kind.ofOneTime)
      AddNumber(*command, "--time", "T", o->time,
                "The time to draw, the last at which a member has a value unless given");
    if (std::string(kind.name) == "envelope")
      AddText(*command, "--obs", "FILE", o->observations,
              "Observations to lay over it: CSV with the header time,<SYM>[,...]");
    AddRequiredText(
        *command, "--image", "FILE", o->image,
        "Picture to write: .png, .svg or .pdf; FILE-data.csv beside it gets its values");
    declared.emplace_back(command, &kind);
  }
  return [o, declared, &plot] {
    for (const auto& [command, kind] : declared)
      if (plot.got_subcommand(command)) return PlotKind(*kind, *o);
    return 2;
  };
}

}  // namespace kvsorv::cli
