// The ensemble charts drawn from their plain data without a window: each builds its series and
// axes and saves as PNG and SVG.

#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QScatterSeries>
#include <QValueAxis>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "support/temp_dir.h"
#include "windows/charts/ensemble_charts.h"

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

template <class Series>
std::vector<Series*> SeriesOf(QChart& chart) {
  std::vector<Series*> found;
  for (QAbstractSeries* s : chart.series())
    if (auto* t = qobject_cast<Series*>(s)) found.push_back(t);
  return found;
}

TEST(EnsembleChartsTest, UnstableSobolBar_IsHatchedAndWhatRunsPastTheAxisIsWritten) {
  SobolChartData data{.titles = {.chart = "Sobol indices of NEP at 2000", .x = "x", .y = "y"},
                      .bars = {{.parameter = "mf",
                                .first = 0.5,
                                .firstLow = 0.4,
                                .firstHigh = 0.6,
                                .total = 0.6,
                                .totalLow = 0.5,
                                .totalHigh = 0.7},
                               {.parameter = "Q10d",
                                .first = 0.1,
                                .firstLow = 0.0,
                                .firstHigh = 0.2,
                                .total = 5.19,
                                .totalLow = 0.38,
                                .totalHigh = 21.6,
                                .totalUnstable = true}},
                      .unstableLegend = "hatched: not yet usable"};
  std::unique_ptr<QChart> chart(MakeSobolChart(data));
  const auto values = SeriesOf<QBarSeries>(*chart);
  ASSERT_EQ(values.size(), 1u);
  const QBarSet* total = values[0]->barSets().at(1);
  EXPECT_TRUE(total->isBarSelected(1));  // drawn pale
  EXPECT_FALSE(total->isBarSelected(0));
  const auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).at(0));
  EXPECT_LT(axis->max(), 2.0);  // not stretched to 21.6: the others stay readable
  EXPECT_LE(total->at(1), axis->max());
  const auto hatches = SeriesOf<QAreaSeries>(*chart);
  ASSERT_EQ(hatches.size(), 1u);
  EXPECT_EQ(hatches[0]->brush().style(), Qt::BDiagPattern);
  EXPECT_EQ(hatches[0]->name(), "hatched: not yet usable");
  QStringList written;
  for (QScatterSeries* s : SeriesOf<QScatterSeries>(*chart))
    if (s->pointLabelsVisible()) written << s->pointLabelsFormat();
  ASSERT_EQ(written.size(), 1) << written.join("|").toStdString();
  EXPECT_TRUE(written[0].contains("5.19") && written[0].contains("21.6"))
      << written[0].toStdString();

  data.bars.pop_back();  // all usable: nothing hatched or written
  data.unstableLegend.clear();
  std::unique_ptr<QChart> usable(MakeSobolChart(data));
  EXPECT_TRUE(SeriesOf<QAreaSeries>(*usable).empty());
  EXPECT_TRUE(SeriesOf<QScatterSeries>(*usable).empty());
}

TEST(EnsembleChartsTest, UnstableMorrisPoint_IsHollowWithTheLegendSayingWhy) {
  const MorrisChartData data{.titles = {.chart = "Morris effects on NEP", .x = "x", .y = "y"},
                             .points = {{"mf", 2, 1}, {"rg", 0.5, 0.2, true}},
                             .unstableLegend = "hollow: not yet usable"};
  std::unique_ptr<QChart> chart(MakeMorrisChart(data));
  std::map<std::string, QScatterSeries*> points;
  for (QScatterSeries* s : SeriesOf<QScatterSeries>(*chart)) points[s->name().toStdString()] = s;
  ASSERT_TRUE(points.count("mf") && points.count("rg") && points.count("hollow: not yet usable"));
  EXPECT_EQ(points["rg"]->color(), QColor(Qt::white));
  EXPECT_NE(points["mf"]->color(), QColor(Qt::white));
  EXPECT_TRUE(chart->legend()->isVisible());
  std::unique_ptr<QChart> usable(
      MakeMorrisChart({.titles = data.titles, .points = {{"mf", 2, 1}}}));
  EXPECT_FALSE(usable->legend()->isVisible());  // every point carries its name
}

}  // namespace
}  // namespace kvsorv
