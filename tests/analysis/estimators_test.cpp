// The estimators against models whose indices are known: the Ishigami function (Sobol
// indices in closed form) and a linear model (Morris effects are its coefficients), and the
// envelope's quantiles.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "analysis/analysis_error.h"
#include "analysis/envelope_over_time.h"
#include "analysis/morris_over_time.h"
#include "analysis/sobol_over_time.h"
#include "analysis/table_source.h"
#include "ensemble/sampling.h"

namespace kvsorv::analysis {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The design's rows, each followed by the output `y` of its member.
MemberTable TableOf(const ensemble::Matrix& design, const std::vector<double>& y) {
  MemberTable t;
  for (std::size_t j = 0; j < design.at(0).size(); ++j) t.names.push_back("p" + std::to_string(j));
  t.names.push_back("y");
  for (std::size_t m = 0; m < design.size(); ++m) {
    t.rows.push_back(design[m]);
    t.rows.back().push_back(y[m]);
  }
  return t;
}

double Ishigami(const std::vector<double>& u) {
  const double pi = std::numbers::pi;
  const double x1 = -pi + 2 * pi * u[0], x2 = -pi + 2 * pi * u[1], x3 = -pi + 2 * pi * u[2];
  return std::sin(x1) + 7 * std::sin(x2) * std::sin(x2) + 0.1 * std::pow(x3, 4) * std::sin(x1);
}

TEST(SobolIndices, IshigamiMatchesItsAnalyticIndices) {
  const auto unit = ensemble::SobolCrossSampleUnit(3, 8192);
  std::vector<double> y;
  for (const auto& row : unit) y.push_back(Ishigami(row));
  // A failed member leaves its base point out, and nothing else.
  y[5 * 5 + 2] = kNaN;
  auto source = TableSource(TableOf(unit, y), "ishigami.csv", 3, "sobol");
  const SobolResult s = SobolOverTime(*source, {.resamples = 100});
  EXPECT_EQ(s.completeBasePoints, 8191);
  EXPECT_EQ(s.rows.at(0).designBasePoints, 8192);
  ASSERT_EQ(s.rows.size(), 3u);
  const double first[] = {0.3139, 0.4424, 0.0}, total[] = {0.5576, 0.4424, 0.2437};
  for (std::size_t j = 0; j < 3; ++j) {
    const SobolRow& r = s.rows[j];
    EXPECT_EQ(r.basePoints, 8191);
    EXPECT_NEAR(r.s1, first[j], 0.03) << j;  // the estimators' error at 8192 points
    EXPECT_NEAR(r.st, total[j], 0.03) << j;
    EXPECT_LE(r.s1Low, r.s1);
    EXPECT_GE(r.s1High, r.s1);
    EXPECT_LE(r.stLow, r.st);
    EXPECT_GE(r.stHigh, r.st);
  }
  // Outputs that do not fill whole base points are no Sobol design.
  const ensemble::Matrix seven(7, std::vector<double>(3, 0.5));
  auto broken = TableSource(TableOf(seven, std::vector<double>(7, 1.0)), "seven.csv", 3, "sobol");
  EXPECT_THROW(SobolOverTime(*broken), EAnalysisError);
}

TEST(MorrisEffects, LinearModelGivesItsCoefficientsTimesTheSpreads) {
  // y = 3 a - 2 b with a over [0, 10] and b over [0, 1]: effects per spread 30 and -2 on
  // every step, in four trajectories of three members.
  const ensemble::Matrix design = {{0, 0},  {5, 0},    {5, 0.5}, {2, 1}, {2, 0.5}, {7, 0.5},
                                   {10, 0}, {10, 0.5}, {5, 0.5}, {4, 1}, {9, 1},   {9, 0.5}};
  std::vector<double> y;
  for (const auto& row : design) y.push_back(3 * row[0] - 2 * row[1]);
  auto source = TableSource(TableOf(design, y), "linear.csv", 2, "morris");
  const MorrisResult m = MorrisOverTime(*source);
  ASSERT_EQ(m.rows.size(), 2u);
  EXPECT_NEAR(m.rows[0].mu, 30, 1e-12);
  EXPECT_NEAR(m.rows[0].sigma, 0, 1e-12);
  EXPECT_NEAR(m.rows[1].mu, -2, 1e-12);
  EXPECT_NEAR(m.rows[1].muStar, 2, 1e-12);
  EXPECT_EQ(m.rows[0].effects, 4);
}

TEST(Envelope, QuantilesOfFiniteValuesOnly) {
  std::vector<double> values{4, 1, kNaN, 3, 2, 5};
  const EnvelopeRow e = EnvelopeOfSeries(values.data(), values.size());
  EXPECT_EQ(e.members, 5);
  EXPECT_DOUBLE_EQ(e.mean, 3);
  EXPECT_DOUBLE_EQ(e.q50, 3);
  EXPECT_DOUBLE_EQ(e.q25, 2);
  EXPECT_DOUBLE_EQ(e.q05, 1.2);
  EXPECT_DOUBLE_EQ(e.sd, std::sqrt(2.5));
  EXPECT_TRUE(std::isnan(EnvelopeOfSeries(nullptr, 0).mean));
  // Values whose sum exceeds the largest double still have a mean and an sd.
  std::vector<double> huge{1.7e308, 1.5e308, 1.6e308};
  const EnvelopeRow h = EnvelopeOfSeries(huge.data(), huge.size());
  EXPECT_NEAR(h.mean / 1.6e308, 1, 1e-14);
  EXPECT_NEAR(h.sd / 1e307, 1, 1e-12);
}

// A plain table's member with an output that is no finite number has failed: none of its
// outputs enters a statistic. A design cell that is no number breaks the table.
TEST(PlainTable, FailedMemberIsOutOfEveryStatistic_BadDesignCellIsRefused) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  MemberTable t{.names = {"p", "y1", "y2"},
                .rows = {{1, 100, kInf}, {2, 1, 1}, {3, 2, 2}, {4, 3, 3}},
                .lines = {2, 3, 4, 5}};
  const EnvelopeResult e = EnvelopeOverTime(*TableSource(t, "t.csv", 1, "mc"));
  ASSERT_EQ(e.rows.size(), 2u);
  EXPECT_EQ(e.rows[0].members, 3);
  EXPECT_DOUBLE_EQ(e.rows[0].mean, 2);
  EXPECT_DOUBLE_EQ(e.rows[0].max, 3);
  t.rows[2][0] = kNaN;
  try {
    TableSource(t, "t.csv", 1, "mc");
    ADD_FAILURE() << "no error";
  } catch (const EAnalysisError& error) {
    EXPECT_STREQ(error.what(), "t.csv, line 4: the design value of 'p' is not a finite number");
  }
}

// A seed gives these intervals on any platform: the resamples are drawn by the program's own
// written-out algorithm, and a linear model's outputs need no math library.
TEST(SobolBootstrap, IntervalsOfASeedArePinned) {
  const auto unit = ensemble::SobolCrossSampleUnit(2, 64);
  std::vector<double> y;
  for (const auto& row : unit) y.push_back(row[0] + 2 * row[1] * row[1]);
  auto source = TableSource(TableOf(unit, y), "linear.csv", 2, "sobol");
  const SobolResult s = SobolOverTime(*source, {.resamples = 50, .seed = 7});
  ASSERT_EQ(s.rows.size(), 2u);
  const double pinned[2][4] = {
      {0.10878514898063245, 0.34817857606513225, 0.15037495317381572, 0.24216087946800621},
      {0.62950257469449322, 1.1694650990248363, 0.62897673504969309, 1.0385598803059068}};
  for (std::size_t j = 0; j < 2; ++j) {
    const SobolRow& r = s.rows[j];
    const double got[] = {r.s1Low, r.s1High, r.stLow, r.stHigh};
    for (std::size_t c = 0; c < 4; ++c) EXPECT_EQ(got[c], pinned[j][c]) << j << " " << c;
  }
}

}  // namespace
}  // namespace kvsorv::analysis
