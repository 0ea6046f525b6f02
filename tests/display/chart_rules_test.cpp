// The chart's rules without a widget: what is plotted for each value type, which series a
// failure stops, the axes' ranges, the series limit, the list's columns and the dialogs' rules.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/axis_dialog_fields.h"
#include "display/chart_data.h"
#include "display/display_session.h"
#include "display/list_columns.h"
#include "display/series_choice.h"
#include "model/errors.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv {
namespace {

constexpr double kTolerance = 1e-9;

std::vector<double> Ys(const PlotSeries& s) {
  std::vector<double> ys;
  for (const ChartPoint& p : s.points) ys.push_back(p.y);
  return ys;
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], kTolerance) << what << " point " << i;
}

// Wood carbon creeping up by 0.4, a state starting at 0, and a state falling below zero.
OutputTable SmallTable() {
  OutputTable table({{"Time", "year"}, {"Wood Carbon", ""}, {"Zero First", ""}, {"Falling", ""}});
  table.AppendRow({1600, 10000.0, 0.0, 3.0});
  table.AppendRow({1601, 10000.4, 2.0, -1.5});
  table.AppendRow({1602, 10000.2, 4.0, -6.0});
  return table;
}

TEST(ChartData, EachValueTypePlotsTheFilesValuesNotTheTablesTexts) {
  const OutputTable table = SmallTable();
  ASSERT_EQ(table.CellText(1, 1), "1E+04");  // what the table shows of 10000.4
  struct Case {
    ValueType type;
    std::vector<double> wood;
  };
  const Case cases[] = {
      {.type = ValueType::kActual, .wood = {10000.0, 10000.4, 10000.2}},
      {.type = ValueType::kRelative, .wood = {1.0, 1.00004, 1.00002}},
      {.type = ValueType::kCumulative, .wood = {0.0, 0.4, 0.2}},
  };
  for (const Case& c : cases) {
    const ChartData data = BuildChartData(table, "Time", {"Wood Carbon", "Falling"}, c.type);
    const std::string what = "value type " + std::to_string(static_cast<int>(c.type));
    EXPECT_FALSE(data.failed) << what;
    EXPECT_EQ(data.xTitle, "Time");
    ASSERT_EQ(data.series.size(), 2u) << what;
    EXPECT_EQ(data.series[0].title, "Wood Carbon");
    ExpectNear(Ys(data.series[0]), c.wood, what);
    EXPECT_EQ(data.series[1].points[1].x, 1601.0);
  }
}

TEST(ChartData, AnInvalidSeriesStopsTheFillingAtThatSeries) {
  const OutputTable table = SmallTable();
  struct Case {
    const char* what;
    std::string x;
    std::vector<std::string> names;
    ValueType type;
    std::vector<std::size_t> pointsPerSeries;
  };
  const Case cases[] = {
      {"zero y0, relative",
       "Time",
       {"Wood Carbon", "Zero First", "Falling"},
       ValueType::kRelative,
       {3, 0}},
      {"no such column", "Time", {"Falling", "Nothing", "Wood Carbon"}, ValueType::kActual, {3, 0}},
      {"no such x column", "Nothing", {"Falling"}, ValueType::kActual, {0}},
  };
  for (const Case& c : cases) {
    const ChartData data = BuildChartData(table, c.x, c.names, c.type);
    EXPECT_TRUE(data.failed) << c.what;
    std::vector<std::size_t> sizes;
    for (const PlotSeries& s : data.series) sizes.push_back(s.points.size());
    EXPECT_EQ(sizes, c.pointsPerSeries) << c.what;
  }
  // Zero first is valid as values and as cumulative change; without rows nothing is invalid.
  EXPECT_FALSE(BuildChartData(table, "Time", {"Zero First"}, ValueType::kCumulative).failed);
  EXPECT_FALSE(BuildChartData(OutputTable(std::vector<TableColumn>{{"Time", ""}}), "Nothing",
                              {"Nothing"}, ValueType::kRelative)
                   .failed);
}

TEST(ChartData, AnotherIndependentSeriesPlotsInAscendingOrderOfIt) {
  OutputTable table({{"Time", ""}, {"State", ""}, {"Other", ""}});
  for (const auto& row : std::vector<std::vector<double>>{{1, 5, 10}, {2, 3, 20}, {3, 5, 30}})
    table.AppendRow(row);
  const ChartData data = BuildChartData(table, "State", {"Other"}, ValueType::kActual);
  EXPECT_EQ(data.xTitle, "State");
  const std::vector<ChartPoint> expected = {{3, 20}, {5, 10}, {5, 30}};  // ties in file order
  EXPECT_EQ(data.series[0].points, expected);
}

TEST(AxisRules, RangesAsTheAxesTakeThem) {
  struct Case {
    const char* what;
    AxisRange actual;
    AxisRange expected;
  };
  ChartExtent positive{.empty = false,
                       .minX = 1600,
                       .maxX = 2000,
                       .minY = 5,
                       .maxY = 80,
                       .minPositiveX = 1600,
                       .minPositiveY = 5};
  ChartExtent negative = positive;
  negative.minY = -6;
  const Case cases[] = {
      {"explicit, swapped", ExplicitRange(10, 1), {1, 10}},
      {"explicit, widened", ExplicitRange(2, 2), {2, 2 + kNarrowestAxisRange}},
      {"independent spans x", IndependentAutoRange(positive), {1600, 2000}},
      {"dependent of positive values starts at 0", DependentAutoRange(positive), {0, 80}},
      {"dependent of negative values starts at the smallest",
       DependentAutoRange(negative),
       {-6, 80}},
      {"dependent without points", DependentAutoRange({}), {0, kNarrowestAxisRange}},
      {"logarithmic from 0 starts a decade below the smallest positive",
       LogarithmicRange({0, 800}, 199),
       {100, 800}},
      {"logarithmic without a positive point", LogarithmicRange({-6, 80}, 0), {8, 80}},
      {"logarithmic at or below zero", LogarithmicRange({-6, -1}, 0), {1, 10}},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(c.actual.minimum, c.expected.minimum, kTolerance) << c.what;
    EXPECT_NEAR(c.actual.maximum, c.expected.maximum, kTolerance) << c.what;
  }
}

TEST(ListColumns, WidthDividedBy150WithTheThreshold) {
  struct Case {
    int width;
    double threshold;
    int columns;
  };
  const Case cases[] = {
      {.width = 0, .threshold = kDisplayListThreshold, .columns = 1},
      {.width = 149, .threshold = kDisplayListThreshold, .columns = 1},
      {.width = 180, .threshold = kDisplayListThreshold, .columns = 1},  // a = 1.2: trunc
      {.width = 181, .threshold = kDisplayListThreshold, .columns = 1},  // 1.207 rounds to 1
      {.width = 225, .threshold = kDisplayListThreshold, .columns = 2},  // 1.5: half to even
      {.width = 375, .threshold = kDisplayListThreshold, .columns = 2},  // 2.5: half to even
      {.width = 400, .threshold = kDisplayListThreshold, .columns = 3},
      {.width = 525, .threshold = kDisplayListThreshold, .columns = 3},  // 3.5 / 3 <= 1.2
      {.width = 525, .threshold = kDialogListThreshold, .columns = 4},   // > 1.1: 3.5 to even
      {.width = 1100, .threshold = kDialogListThreshold, .columns = 7},  // 7.33 / 7 <= 1.1
  };
  for (const Case& c : cases)
    EXPECT_EQ(ListColumnCount(c.width, c.threshold), c.columns) << c.width << " at " << c.threshold;
}

TEST(ListColumns, OpeningWidthFitsTheLongestName) {
  struct Case {
    const char* what;
    int item;
    int expected;
  };
  // From 393 pixels (three columns of 127 inside 12 pixels of margins) up to 1200.
  const Case cases[] = {
      {.what = "names that fit keep the opening width", .item = 120, .expected = 393},
      {.what = "longer names: the first width whose three columns hold them",
       .item = 150,
       .expected = 462},
      {.what = "names no width fits: the widest columns", .item = 400, .expected = 522},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ListWidthFitting(c.item, 393, 1200, 12, kDialogListThreshold), c.expected) << c.what;
}

TEST(AxisRules, LogarithmicLabelsTellTheirDecadesApart) {
  EXPECT_TRUE(FixedLabelsTellDecadesApart({0.002, 50}, 3));
  EXPECT_TRUE(FixedLabelsTellDecadesApart({0.0002, 50}, 3)) << "its lowest decade is 0.001";
  EXPECT_FALSE(FixedLabelsTellDecadesApart({0.00002, 50}, 3)) << "0.0001 would read 0.000";
  EXPECT_FALSE(FixedLabelsTellDecadesApart({0.005, 1e4}, 1)) << "0.01 would read 0.0";
}

class DisplaySessionTest : public testing::ModelTest {
 protected:
  testing::ScriptedPrompter prompter;
};

TEST_F(DisplaySessionTest, TwelveSelectedGiveTheMaximumMessageTwiceAndTenSeries) {
  OutputDisplaySession session;
  SeriesList& list = session.Series();
  for (int i = 0; i < 12; ++i) list.selected[static_cast<std::size_t>(i)] = true;
  session.UpdateChart();
  ASSERT_EQ(prompter.messages.size(), 2u);
  for (const auto& m : prompter.messages) {
    EXPECT_EQ(m.text, kTooManySeriesMessage);
    EXPECT_EQ(m.kind, MessageKind::kError);
  }
  const std::vector<std::string> first10(list.names.begin(), list.names.begin() + 10);
  EXPECT_EQ(session.YSeriesNames(), first10);
  EXPECT_EQ(session.Chart().series.size(), 10u);
}

TEST_F(DisplaySessionTest, SeriesDialogChoosesTheIndependentOrCopiesTheDependentSelection) {
  OutputDisplaySession session;
  const int wood = session.Series().Find("Wood Carbon");
  const int time = session.Series().Find("Time");
  session.Series().selected[static_cast<std::size_t>(wood)] = true;

  session.AxisIsX = true;
  SeriesDialogState x = OpenSeriesDialog(session);
  EXPECT_EQ(x.caption, kIndependentSeriesCaption);
  EXPECT_FALSE(x.multipleSelection);
  EXPECT_EQ(x.list.SelectedNames(), std::vector<std::string>{"Time"});
  AcceptSeriesDialog(session, std::vector<bool>(x.list.names.size(), false));
  EXPECT_EQ(session.XSeriesName, "Time");  // nothing chosen keeps it
  x.list.selected[static_cast<std::size_t>(time)] = false;
  x.list.selected[static_cast<std::size_t>(wood)] = true;
  AcceptSeriesDialog(session, x.list.selected);
  EXPECT_EQ(session.XSeriesName, "Wood Carbon");

  session.AxisIsX = false;
  SeriesDialogState y = OpenSeriesDialog(session);
  EXPECT_EQ(y.caption, kDependentSeriesCaption);
  EXPECT_TRUE(y.multipleSelection);
  EXPECT_EQ(y.list.selected, session.Series().selected);
  y.list.ClearSelection();
  AcceptSeriesDialog(session, y.list.selected);
  EXPECT_TRUE(session.Series().SelectedNames().empty());
}

TEST_F(DisplaySessionTest, AxisDialogAppliesAutoOrTheTypedRangeAndRefusesText) {
  OutputDisplaySession session;
  session.AxisIsX = false;
  session.UpdateChart();
  const AxisDialogFields opened = OpenAxisDialog(session);
  EXPECT_EQ(opened.caption, kDependentAxisCaption);
  EXPECT_FALSE(opened.autoScale);  // the dependent axis' automatic rule sets an explicit range

  AxisDialogFields typed = opened;
  typed.minimum = "10";
  typed.maximum = "1";
  AcceptAxisDialog(session, typed);
  EXPECT_EQ(session.Axis(false).range, (AxisRange{1, 10}));

  typed.minimum = "ten";
  EXPECT_THROW(AcceptAxisDialog(session, typed), EConvertError);
  EXPECT_EQ(session.Axis(false).range, (AxisRange{1, 10}));

  typed.autoScale = true;  // the typed values are ignored
  AcceptAxisDialog(session, typed);
  EXPECT_EQ(session.Axis(false).range, (AxisRange{0, kNarrowestAxisRange}));
}

}  // namespace
}  // namespace kvsorv
