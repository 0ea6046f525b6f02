// The output display at its largest expected load: a 10,000-line output file of the full
// catalogue (155 columns, about 33 MB) read and shown as a table, and a chart of 10 series of
// 10,000 points updated and drawn. Runs on Qt's offscreen platform; the peak resident memory
// of the process is reported as a counter (MB).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "display/display_session.h"
#include "display/output_table.h"
#include "display/output_table_model.h"
#include "files/output_file.h"
#include "program/global_tables.h"
#include "program/program_state.h"
#include "program/run_settings.h"
#include "windows/charts/output_chart.h"
#include "windows/display/output_table_view.h"

namespace {

constexpr int kLines = 10000;

std::string ScratchFile() {
  return (std::filesystem::temp_directory_path() / "kvsorv-display-bench.out").string();
}

// A run's worth of lines with values of every magnitude and sign in every column.
const std::string& OutputFile() {
  static const std::string path = [] {
    using namespace kvsorv;
    const std::string file = ScratchFile();
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    FileChannel channel("bench output");
    OpenOutputFile(channel, file, Drivers, ModelDef.numstate, States, ModelDef.numprocess,
                   Processes, true);
    for (int line = 0; line < kLines; ++line) {
      for (int i = 1; i <= ModelDef.numdrivers; ++i) Drivers[i].value = value(random);
      for (int i = 1; i <= ModelDef.numstate; ++i) States[i].value = value(random);
      for (int i = 1; i <= ModelDef.numprocess; ++i) Processes[i].value = value(random) * 1e-3;
      WriteOutputLine(channel, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                      1600.0 + line);
    }
    CloseOutputFile(channel);
    return file;
  }();
  return path;
}

// Peak resident memory of the process so far, in MB.
double PeakResidentMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0.0;
}

// Read, then shown: the model reset and the grid drawn once at a maximized window's size.
void BM_LoadAndShowTable(benchmark::State& state) {
  using namespace kvsorv;
  const std::string& file = OutputFile();
  OutputTable table = OutputTable::ForCatalogue();
  OutputTableModel model(table, '.');
  OutputTableView view;
  view.setModel(&model);
  view.resize(1280, 800);
  view.show();
  QImage picture(view.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    model.ChangeTable([&] {
      table.Clear();
      ReadOutputTable(table, file, 0.0);
    });
    view.scrollToBottom();
    QApplication::processEvents();
    QPainter painter(&picture);
    view.render(&painter);
  }
  state.counters["rows"] = table.RowCount();
  state.counters["peak_rss_MB"] = PeakResidentMb();
}
BENCHMARK(BM_LoadAndShowTable)->Unit(benchmark::kMillisecond)->UseRealTime();

// UpdateChart on 10 selected columns, alternating the value type so every point changes,
// then the chart drawn.
void BM_UpdateChart(benchmark::State& state) {
  using namespace kvsorv;
  RunSettings.DisplayFileName = OutputFile();
  OutputDisplaySession session;
  session.LoadTable();
  for (int i = 0; i < 10; ++i)
    session.Series().selected[static_cast<std::size_t>(20 + 7 * i)] = true;
  OutputChart chart;
  chart.resize(1280, 600);
  chart.show();
  QImage picture(chart.size(), QImage::Format_ARGB32_Premultiplied);
  int round = 0;
  for (auto _ : state) {
    session.valueType = ++round % 2 == 0 ? ValueType::kActual : ValueType::kCumulative;
    session.UpdateChart();
    chart.Show(session.Chart(), {session.Axis(true), session.ShownRange(true)},
               {session.Axis(false), session.ShownRange(false)});
    QApplication::processEvents();
    QPainter painter(&picture);
    chart.render(&painter);
  }
  state.counters["points"] = static_cast<double>(session.Chart().series.size() * kLines);
  state.counters["peak_rss_MB"] = PeakResidentMb();
}
BENCHMARK(BM_UpdateChart)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  kvsorv::ResetProgramState();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(ScratchFile());
  return 0;
}
