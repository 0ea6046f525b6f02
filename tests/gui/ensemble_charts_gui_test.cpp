// The ensemble charts drawn from their plain data without a window: each builds its series and
// axes and saves as PNG and SVG.

#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QChart>
#include <filesystem>
#include <functional>
#include <memory>

#include "support/temp_dir.h"
#include "windows/display/ensemble_charts.h"

namespace kvsorv {
namespace {

EnvelopeChartData Envelope() {
  EnvelopeChartData d;
  d.titles = {.chart = "Envelope of Cf", .x = "Time (year)", .y = "Cf (g m-2)"};
  for (int t = 0; t < 20; ++t) {
    d.times.push_back(1600 + t);
    d.q05.push_back(t);
    d.q25.push_back(t + 1);
    d.q50.push_back(t + 2);
    d.q75.push_back(t + 3);
    d.q95.push_back(t + 4);
    d.mean.push_back(t + 2.2);
  }
  d.members = 12;
  d.observed = {.legend = "observed", .times = {1605, 1610}, .values = {7, 12}};
  return d;
}

struct Case {
  const char* name;
  std::function<QChart*()> make;
  int series;  // at least
};

TEST(EnsembleChartsTest, EachChart_BuildsFromItsDataAndSavesAsPngAndSvg) {
  const ChartTitles titles{.chart = "Chart of NEP at 2000", .x = "x", .y = "y"};
  const Case cases[] = {
      {"envelope", [] { return MakeEnvelopeChart(Envelope()); }, 5},
      {"tornado",
       [&] {
         return MakeTornadoChart(
             {.titles = titles, .bars = {{"mf", -2, 3}, {"Q10d", -0.5, 0.1}, {"rg", 1, -1}}});
       },
       1},
      {"sobol",
       [&] {
         return MakeSobolChart({.titles = titles,
                                .bars = {{"mf", 0.5, 0.4, 0.6, 0.6, 0.5, 0.7},
                                         {"Q10d", 0.2, 0.1, 0.3, 0.3, 0.2, 0.45}}});
       },
       1 + 4},  // the bars and a whisker per index
      {"morris",
       [&] {
         return MakeMorrisChart({.titles = titles, .points = {{"mf", 2, 1}, {"rg", 0.5, 0.2}}});
       },
       2},
      {"convergence",
       [&] {
         return MakeConvergenceChart(
             {.titles = titles, .basePoints = {8, 16, 32}, .lines = {{"mf", {0.7, 0.65, 0.6}}}});
       },
       1},
      {"failures",
       [&] {
         return MakeFailuresChart({.titles = titles, .counts = {{"overflow", 3}}});
       },
       1},
  };
  const testing::TempWorkDir dir;
  for (const Case& c : cases) {
    std::unique_ptr<QChart> chart(c.make());
    EXPECT_GE(chart->series().size(), c.series) << c.name;
    EXPECT_FALSE(chart->title().isEmpty()) << c.name;
    EXPECT_GE(chart->axes().size(), 2) << c.name;
    for (const char* extension : {".png", ".svg"}) {
      const std::string file = dir.File(std::string(c.name) + extension);
      SaveEnsembleChart(c.make(), QSize(800, 500), file);
      ASSERT_TRUE(std::filesystem::exists(file)) << file;
      EXPECT_GT(std::filesystem::file_size(file), 1000u) << file;
    }
  }
}

TEST(EnsembleChartsTest, EmptyData_StillMakesAChart) {
  const testing::TempWorkDir dir;
  SaveEnsembleChart(MakeEnvelopeChart({}), QSize(400, 300), dir.File("empty.png"));
  SaveEnsembleChart(MakeSobolChart({}), QSize(400, 300), dir.File("empty-sobol.png"));
  EXPECT_GT(std::filesystem::file_size(dir.File("empty.png")), 0u);
  EXPECT_GT(std::filesystem::file_size(dir.File("empty-sobol.png")), 0u);
}

}  // namespace
}  // namespace kvsorv
