// kvsorv-cli plot: the output display's chart drawn without a display, saved as a picture;
// or, by a kind (envelope, tornado, ...), an ensemble chart of a results file
// (cli_plot_ensemble.cpp). Only this command starts Qt, on its offscreen platform.

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "display/chart_data.h"
#include "display/chart_file.h"
#include "display/output_names.h"
#include "display/output_table.h"
#include "display/series_list.h"
#include "program/prompter.h"
#include "windows/charts/chart_export.h"

namespace kvsorv::cli {

namespace {

// The picture's size in pixels.
constexpr int kWidth = 1200;
constexpr int kHeight = 800;

struct PlotOptions {
  std::optional<std::string> output;
  std::optional<std::string> series;
  std::optional<std::string> x;
  std::optional<std::string> as;
  std::optional<std::string> image;
};

std::vector<std::string> SplitNames(const std::string& text) {
  std::vector<std::string> names;
  std::stringstream in(text);
  for (std::string name; std::getline(in, name, ',');) names.push_back(name);
  return names;
}

ValueType ValueTypeOf(const std::optional<std::string>& as) {
  if (!as || *as == "values") return ValueType::kActual;
  return *as == "relative" ? ValueType::kRelative : ValueType::kCumulative;
}

// Qt's own notes (such as the offscreen platform's) are not for the user; its errors are.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

}  // namespace

std::unique_ptr<QApplication> StartOffscreenQt() {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQt);
  static int argc = 1;
  static char program[] = "kvsorv-cli";
  static char* argv[] = {program, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

// Defined in cli_plot_ensemble.cpp: the kinds of ensemble chart as subcommands of `plot`, and
// the body that draws the one chosen.
CommandBody DeclareEnsemblePlots(CLI::App& plot);
// Its body gives kNoCalibrationPlot when the command chose none of its charts.
CommandBody DeclareCalibrationPlots(CLI::App& plot);
inline constexpr int kNoCalibrationPlot = -1;

namespace {

int Plot(const PlotOptions& o) {
  if (!o.output) throw std::invalid_argument("--output is required");
  if (!o.series) throw std::invalid_argument("--series is required");
  if (!o.image) throw std::invalid_argument("--image is required");
  const std::vector<std::string> names = SplitNames(*o.series);
  if (names.empty()) throw std::invalid_argument("--series: no name given");
  if (static_cast<int>(names.size()) > kMaxChartSeries)
    throw std::invalid_argument("--series: at most 10 names");
  if (!ChartFileFormatOf(*o.image))
    throw std::invalid_argument(UnknownChartFormatMessage(*o.image));
  OutputTable table = OutputTable::ForCatalogue();
  // Each series by its column name or its symbol, drawn under its column name.
  const auto columnName = [&table](const std::string& option, const std::string& name) {
    const int column = FindOutputColumn(table, name);
    if (column < 0)
      throw std::invalid_argument(option + ": the output file has no column '" + name +
                                  "', and no output has that symbol");
    return table.Column(column).name;
  };
  std::vector<std::string> series;
  for (const std::string& name : names) series.push_back(columnName("--series", name));
  const std::string x = columnName("--x", o.x.value_or("Time"));

  RefuseInputAsOutput("--image", {*o.image}, {*o.output});
  ReadOutputTable(table, *o.output, std::numeric_limits<double>::lowest());
  RequireRecords(table, *o.output);
  const ChartData data = BuildChartData(table, x, series, ValueTypeOf(o.as));
  if (data.failed)
    CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOk,
                              kInvalidSeriesMessage);

  const std::unique_ptr<QApplication> application = StartOffscreenQt();
  SaveChartPicture(data, QSize(kWidth, kHeight), *o.image);
  return data.failed ? 1 : 0;
}

}  // namespace

CommandBody DeclarePlot(CLI::App& command) {
  auto o = std::make_shared<PlotOptions>();
  AddText(command, "--output", "FILE", o->output, "Output file to read (required)");
  AddText(command, "--series", "NAME[,NAME...]", o->series,
          "Up to 10 columns to plot, each by the output file's column name (\"Foliage Carbon\") "
          "or its symbol (Cf); a column's exact name wins over another's symbol (required)");
  AddText(command, "--x", "NAME", o->x,
          "Column plotted along the bottom axis, by name or symbol; Time unless given");
  AddText(command, "--as", "values|relative|cumulative", o->as,
          "Plot values (y), relative change (y/y0) or cumulative change (y-y0); values "
          "unless given")
      ->check(CLI::IsMember({"values", "relative", "cumulative"}));
  AddText(command, "--image", "FILE", o->image, "Picture to write: .png, .svg or .pdf (required)");
  const CommandBody ensemble = DeclareEnsemblePlots(command);
  const CommandBody calibration = DeclareCalibrationPlots(command);
  return [o, &command, ensemble, calibration] {
    if (command.get_subcommands().empty()) return Plot(*o);
    const int status = calibration();
    return status == kNoCalibrationPlot ? ensemble() : status;
  };
}

}  // namespace kvsorv::cli
