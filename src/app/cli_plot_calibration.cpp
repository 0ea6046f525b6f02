// kvsorv-cli plot trace|marginals|pairs|fit CHAINS.nc: a calibration's charts drawn without
// a display, with the CSV of what they draw beside the picture (FILE-data.csv), from the same
// data functions as the calibration window's.

#include <QApplication>
#include <QSize>
#include <array>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "calibration/calibration_model.h"
#include "charts/calibration_charts.h"
#include "display/chart_file.h"
#include "ensemble/plan.h"
#include "tasks/worker_pool.h"
#include "windows/charts/calibration_charts.h"
#include "windows/charts/ensemble_charts.h"

namespace kvsorv::cli {

std::unique_ptr<QApplication> StartOffscreenQt();

namespace {

using namespace calibration;

// One chart's cell in a grid of charts, and the picture of a single chart, in pixels.
const QSize kCell(700, 450);
const QSize kSingle(1200, 800);

struct CalibrationPlotOptions {
  std::string chains;
  std::vector<std::string> quantities;
  std::optional<std::string> output;
  std::optional<double> draws;
  std::string image;
};

std::vector<std::size_t> ChosenQuantities(const CalibrationPlotOptions& o,
                                          const ChainsContents& c) {
  std::vector<std::size_t> chosen;
  for (const std::string& q : o.quantities) chosen.push_back(QuantityIndex(c, q));
  if (chosen.empty())
    for (std::size_t j = 0; j < c.Dimension(); ++j) chosen.push_back(j);
  return chosen;
}

// The plan the chains were made from, as it is now: refused when it changed since.
CalibrationPlan PlanOf(const ChainsContents& c, const std::string& chainsFile) {
  CalibrationPlan plan = ReadCalibrationPlan(c.header.planFile);
  if (plan.hash != c.header.planHash)
    throw std::invalid_argument(chainsFile + ": its plan " + c.header.planFile +
                                " or its observations changed since the calibration");
  return plan;
}

int PlotCalibration(const std::string& kind, const CalibrationPlotOptions& o) {
  if (!ChartFileFormatOf(o.image)) throw std::invalid_argument(UnknownChartFormatMessage(o.image));
  const std::string csv = ChartDataFileName(o.image);
  RefuseInputAsOutput("--image", {o.image, csv}, {o.chains});
  const ChainsContents c = ReadChains(o.chains);
  const std::vector<std::size_t> chosen = ChosenQuantities(o, c);
  std::function<std::vector<QChart*>()> make;
  if (kind == "trace") {
    std::vector<TraceChartData> data;
    for (const std::size_t j : chosen) data.push_back(TraceChart(c, j));
    WriteTraceChartCsv(csv, data);
    make = [data] {
      std::vector<QChart*> charts;
      for (const auto& d : data) charts.push_back(MakeTraceChart(d));
      return charts;
    };
  } else if (kind == "marginals") {
    const CalibrationPlan plan = PlanOf(c, o.chains);
    const std::vector<ensemble::Distribution> priors = SampledPriors(plan);
    std::vector<MarginalChartData> data;
    for (const std::size_t j : chosen) data.push_back(MarginalChart(c, j, priors[j]));
    WriteMarginalChartCsv(csv, data);
    make = [data] {
      std::vector<QChart*> charts;
      for (const auto& d : data) charts.push_back(MakeMarginalChart(d));
      return charts;
    };
  } else if (kind == "pairs") {
    if (chosen.size() < 2) throw std::invalid_argument("--quantity: pairs need two or more");
    std::vector<PairsChartData> data;
    for (std::size_t a = 0; a < chosen.size(); ++a)
      for (std::size_t b = a + 1; b < chosen.size(); ++b)
        data.push_back(PairsChart(c, chosen[a], chosen[b]));
    WritePairsChartCsv(csv, data);
    make = [data] {
      std::vector<QChart*> charts;
      for (const auto& d : data) charts.push_back(MakePairsChart(d));
      return charts;
    };
  } else {
    const CalibrationPlan plan = PlanOf(c, o.chains);
    const CalibrationModel model(plan);
    std::string output;
    if (o.output) {
      output = *o.output;
    } else {
      for (const Observation& ob : plan.observations)
        if (output.empty())
          output = ob.row.symbol;
        else if (ob.row.symbol != output)
          throw std::invalid_argument(o.chains + ": its plan observes several outputs (" + output +
                                      ", " + ob.row.symbol +
                                      ", ...): choose one with --output SYM");
    }
    std::size_t draws = 200;
    if (o.draws) {
      if (!(*o.draws >= 1 && *o.draws <= 1e6))
        throw std::invalid_argument("--draws must be from 1 to 1000000");
      draws = static_cast<std::size_t>(*o.draws);
    }
    const EnvelopeChartData data = FitChart(model, c, output, draws, tasks::HardwareThreads());
    WriteFitChartCsv(csv, data);
    make = [data] { return std::vector<QChart*>{MakeEnvelopeChart(data)}; };
  }
  const std::unique_ptr<QApplication> application = StartOffscreenQt();
  std::vector<QChart*> charts = make();
  if (charts.size() == 1)
    SaveEnsembleChart(charts.front(), kSingle, o.image);
  else
    SaveChartGrid(charts, kCell, charts.size() <= 4 ? 2 : 3, o.image);
  std::cerr << kind << " drawn to " << o.image << ", its values in " << csv << '\n';
  return 0;
}

struct Kind {
  const char* name;
  const char* description;
};

constexpr std::array kKinds = {
    Kind{"trace", "A calibration's chains over the generations, one chart per quantity."},
    Kind{"marginals", "Each quantity's posterior density after the burn-in, over its prior."},
    Kind{"pairs", "The posterior draws of each pair of quantities, as points."},
    Kind{"fit",
         "An observed output's observations with their errors over the posterior "
         "predictive envelope."},
};

}  // namespace

CommandBody DeclareCalibrationPlots(CLI::App& plot) {
  auto o = std::make_shared<CalibrationPlotOptions>();
  std::vector<std::pair<CLI::App*, std::string>> declared;
  for (const Kind& kind : kKinds) {
    CLI::App* command = plot.add_subcommand(kind.name, kind.description);
    command->footer("Beside the picture, FILE-data.csv holds what it draws, with a header line.");
    NotEmpty(command->add_option("chains", o->chains, "A calibration's chains file"))
        ->required()
        ->type_name("CHAINS.nc");
    if (std::string(kind.name) == "fit") {
      AddText(*command, "--output", "SYM", o->output,
              "The observed output; needed when the plan observes several");
      AddNumber(*command, "--draws", "N", o->draws, "Posterior draws to run (200)");
    } else {
      AddRepeatedText(*command, "--quantity", "SYM", o->quantities,
                      "A sampled quantity to draw (repeat for more); all unless given");
    }
    AddRequiredText(
        *command, "--image", "FILE", o->image,
        "Picture to write: .png, .svg or .pdf; FILE-data.csv beside it gets its values");
    declared.emplace_back(command, kind.name);
  }
  return [o, declared, &plot] {
    for (const auto& [command, name] : declared)
      if (plot.got_subcommand(command)) return PlotCalibration(name, *o);
    return -1;
  };
}

}  // namespace kvsorv::cli
