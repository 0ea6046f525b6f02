// The figures of the finished members: the tornado of a one-at-a-time design, and which
// designs give Sobol indices and Morris effects.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "charts/ensemble_figures.h"
#include "support/model_fixture.h"

namespace kvsorv::ensemble {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class EnsembleFiguresTest : public testing::ModelTest {
 protected:
  // Two varied parameters and one output at two times; the design as given.
  void Lay(Method method, Matrix rows) {
    plan.parameters = {{.symbol = "mf", .index = 1, .distribution = Uniform{70, 90}},
                       {.symbol = "rg", .index = 2, .distribution = Uniform{0.2, 0.3}}};
    plan.outputs = {
        {.symbol = "Cf", .kind = OutputKind::kState, .index = 1, .times = {}, .everyLine = true}};
    plan.oatStep = 0.1;
    site.times = {1999, 2000};
    site.variables = {"Cf"};
    design = {.method = method, .symbols = {"mf", "rg"}, .rows = std::move(rows)};
    members = FinishedMembers(design.rows.size(), 2, 1);
  }
  // A member finished with `atEnd` at the last time (nothing at the first).
  void Finish(std::size_t m, double atEnd, bool failed = false) {
    members.Add(
        m, {.failed = failed, .error = failed ? "overflow\nin Cf" : "", .values = {kNaN, atEnd}});
  }

  EnsemblePlan plan;
  EnsembleSite site;
  Design design;
  FinishedMembers members;
};

TEST_F(EnsembleFiguresTest, OneAtATime_TornadoIsTheChangeFromTheCentre) {
  // The centre, then each parameter down and up by the step and by half of it.
  Lay(Method::kOneAtATime, {{80, 0.25},
                            {72, 0.25},
                            {88, 0.25},
                            {76, 0.25},
                            {84, 0.25},
                            {80, 0.225},
                            {80, 0.275},
                            {80, 0.2375},
                            {80, 0.2625}});
  for (const auto& [m, y] : std::vector<std::pair<std::size_t, double>>{{0, 100},
                                                                        {1, 90},
                                                                        {2, 112},
                                                                        {3, 95},
                                                                        {4, 106},
                                                                        {5, 101},
                                                                        {6, 99.5},
                                                                        {7, 100.5},
                                                                        {8, 99.8}})
    Finish(m, y);
  ASSERT_EQ(LastRecordedTime(members, 0), 1u);
  const TornadoChartData t = TornadoAt({plan, site, design}, members, 1, 0);
  ASSERT_EQ(t.bars.size(), 2u);
  EXPECT_EQ(t.bars[0].parameter, "mf");
  EXPECT_DOUBLE_EQ(t.bars[0].low, -10);
  EXPECT_DOUBLE_EQ(t.bars[0].high, 12);
  EXPECT_DOUBLE_EQ(t.bars[1].low, 1);
  EXPECT_DOUBLE_EQ(t.bars[1].high, -0.5);
  EXPECT_NE(t.titles.chart.find("Cf at 2000"), std::string::npos) << t.titles.chart;
  // Only Sobol and Morris designs have their indices.
  EXPECT_FALSE(SobolAt({plan, site, design}, members, 1, 0));
  EXPECT_FALSE(MorrisAt({plan, site, design}, members, 1, 0));
}

TEST_F(EnsembleFiguresTest, FailedMembers_AreCountedByReasonAndLeftOutOfTheEnvelope) {
  Lay(Method::kMonteCarlo, {{71, 0.21}, {75, 0.22}, {80, 0.25}, {85, 0.28}});
  Finish(0, 10);
  Finish(1, kNaN, true);
  Finish(2, 30);
  Finish(3, kNaN, true);
  Finish(3, kNaN, true);  // written again: counted once
  const FailuresChartData f = FailuresOf(members);
  ASSERT_EQ(f.counts.size(), 1u);
  EXPECT_EQ(f.counts[0].reason, "overflow");
  EXPECT_EQ(f.counts[0].members, 2);
  const EnvelopeChartData e = EnvelopeSoFar({plan, site, design}, members, 0);
  EXPECT_EQ(e.members, 2);
  EXPECT_EQ(e.designMembers, 4);
  EXPECT_NE(e.titles.chart.find("only 2 of 4 members"), std::string::npos) << e.titles.chart;
  EXPECT_EQ(e.times, (std::vector<double>{2000}));
  EXPECT_DOUBLE_EQ(e.mean.at(0), 20);
}

TEST_F(EnsembleFiguresTest, FailurePredictors_RankTheParameterHighInFailedMembersFirst) {
  Lay(Method::kMonteCarlo, {{71, 0.3},
                            {73, 0.2},
                            {75, 0.25},
                            {77, 0.22},
                            {86, 0.21},
                            {87, 0.29},
                            {88, 0.24},
                            {89, 0.26}});
  for (std::size_t m = 0; m < 3; ++m) Finish(m, 10);
  EXPECT_FALSE(FailurePredictorsOf({plan, site, design}, members));  // nothing failed yet
  for (std::size_t m = 3; m < 8; ++m) Finish(m, m < 5 ? 10 : kNaN, m >= 5);
  const auto p = FailurePredictorsOf({plan, site, design}, members);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->bars.size(), 2u);
  EXPECT_EQ(p->bars[0].parameter, "mf");  // every failed member has the larger mf
  EXPECT_NEAR(std::max(p->bars[0].high, -p->bars[0].low), 1.0, 1e-12);
}

}  // namespace
}  // namespace kvsorv::ensemble
