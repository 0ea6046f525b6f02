// The charts' data built from the analyses: Sobol bars and their convergence lines, the
// tornado of a one-at-a-time design and of rank correlations.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/table_source.h"
#include "charts/analysis_charts.h"
#include "ensemble/sampling.h"

namespace kvsorv::analysis {
namespace {

// The design's rows, each followed by y = 2 p1 - p2.
MemberTable LinearTable(const ensemble::Matrix& design) {
  MemberTable t{.names = {"p1", "p2", "y"}, .rows = {}, .lines = {}};
  for (const auto& row : design) t.rows.push_back({row[0], row[1], 2 * row[0] - row[1]});
  return t;
}

TEST(AnalysisCharts, SobolCharts_AreTheAnalysisIndicesWithConvergenceFromQuarterToAll) {
  auto source =
      TableSource(LinearTable(ensemble::SobolCrossSampleUnit(2, 64)), "linear.csv", 2, "sobol");
  const SobolCharts charts = SobolChartsOf(*source, {.resamples = 50});
  source =
      TableSource(LinearTable(ensemble::SobolCrossSampleUnit(2, 64)), "linear.csv", 2, "sobol");
  const SobolResult r = SobolOverTime(*source, {.resamples = 50});
  ASSERT_EQ(charts.indices.bars.size(), 2u);
  for (std::size_t j = 0; j < 2; ++j) {
    EXPECT_EQ(charts.indices.bars[j].parameter, r.rows[j].parameter);
    EXPECT_EQ(charts.indices.bars[j].first, r.rows[j].s1);  // the same numbers, not re-estimated
    EXPECT_EQ(charts.indices.bars[j].totalHigh, r.rows[j].stHigh);
  }
  EXPECT_NE(charts.indices.titles.chart.find("(64 of 64 base points"), std::string::npos)
      << charts.indices.titles.chart;
  const ConvergenceChartData& c = charts.convergence;
  EXPECT_EQ(c.basePoints, (std::vector<double>{16, 32, 64}));
  EXPECT_EQ(c.firstBasePoints, (std::vector<double>{16, 32, 64}));
  EXPECT_EQ(c.titles.x, "Base points used: 16, 32 and 64 of the first 16, 32 and 64");
  ASSERT_EQ(c.lines.size(), 2u);
  EXPECT_EQ(c.lines[0].parameter, "p1");
  ASSERT_EQ(c.lines[1].values.size(), 3u);
  EXPECT_EQ(c.lines[1].values.back(), r.rows[1].st);
}

TEST(AnalysisCharts, Tornado_IsTheChangeFromTheCentreOrTheRankCorrelation) {
  ensemble::EnsemblePlan plan;
  plan.oatStep = 0.1;
  plan.parameters = {{"p1", 0, ensemble::Uniform{1, 3}}, {"p2", 0, ensemble::Uniform{4, 6}}};
  const ensemble::Matrix oat = ensemble::SampleDesign(plan, ensemble::Method::kOneAtATime).rows;
  const TornadoChartData t =
      TornadoChart(*TableSource(LinearTable(oat), "oat.csv", 2, "oat"), plan.oatStep);
  constexpr double kTolerance = 1e-12;
  ASSERT_EQ(t.bars.size(), 2u);
  EXPECT_NEAR(t.bars[0].low, -0.4, kTolerance);  // p1 = 2 moves by 0.2, y by twice that
  EXPECT_NEAR(t.bars[0].high, 0.4, kTolerance);
  EXPECT_NEAR(t.bars[1].low, 0.5, kTolerance);  // p2 = 5 moves by 0.5 against y
  EXPECT_NE(t.titles.chart.find("10 %"), std::string::npos) << t.titles.chart;
  // A failed member is no bar, and its parameter says so, not a change of zero.
  MemberTable failed = LinearTable(oat);
  failed.rows[2].back() = NAN;  // p1 up
  const TornadoChartData f = TornadoChart(*TableSource(failed, "oat.csv", 2, "oat"), plan.oatStep);
  EXPECT_EQ(f.bars[0].parameter, "p1 (no value up)");
  EXPECT_TRUE(std::isnan(f.bars[0].high));
  EXPECT_EQ(f.bars[1].parameter, "p2");

  const ensemble::Matrix mc = {{1, 6}, {2, 5}, {3, 4}, {4, 4.5}};
  const TornadoChartData r = TornadoChart(*TableSource(LinearTable(mc), "mc.csv", 2, "mc"), 0);
  EXPECT_NEAR(r.bars[0].high, 1.0, kTolerance);
  EXPECT_NEAR(r.bars[1].low, -0.8, kTolerance);  // ranks of p2 against y: 4 3 1 2 / 1 2 4 3
  EXPECT_EQ(r.bars[1].high, 0.0);
}

TEST(AnalysisCharts, FailedMembers_AreCountedInTheTitlesAndFewMakeTheEnvelopeSaySo) {
  // Five members, the third failed: four of five have a value.
  const MemberTable table{.names = {"p1", "p2", "y"},
                          .rows = {{1, 6, 1}, {2, 5, 2}, {3, 4, NAN}, {4, 4.5, 4}, {5, 3, 5}},
                          .lines = {}};
  const TornadoChartData t = TornadoChart(*TableSource(table, "mc.csv", 2, "mc"), 0);
  EXPECT_NE(t.titles.chart.find("(4 of 5 members)"), std::string::npos) << t.titles.chart;
  const EnvelopeChartData e = EnvelopeChart(*TableSource(table, "mc.csv", 2, "mc"));
  EXPECT_EQ(e.counts, (std::vector<double>{4}));
  EXPECT_EQ(e.fewMembers, "only 4 of 5 members (fewer than 30), too few to read the spread by");
  EXPECT_NE(e.titles.chart.find("only 4 of 5 members (fewer than 30)"), std::string::npos)
      << e.titles.chart;
}

}  // namespace
}  // namespace kvsorv::analysis
