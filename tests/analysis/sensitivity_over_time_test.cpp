// The analyses over time on models whose answers are known: local coefficients of a quadratic
// model (central differences are exact for it) and the step-halving check of a curved one;
// collinearity of proportional and orthogonal sensitivities; the parameter that drives
// failure ranked first; Sobol indices of a linear model with their convergence rows.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "analysis/collinearity.h"
#include "analysis/failures.h"
#include "analysis/local_sensitivity.h"
#include "analysis/sobol_over_time.h"
#include "analysis/table_source.h"
#include "ensemble/sampling.h"

namespace kvsorv::analysis {
namespace {

using Model = double (*)(const std::vector<double>&);

// A table of the design's rows, each followed by the model's output.
MemberTable TableOf(const ensemble::Matrix& design, Model model, std::size_t k) {
  MemberTable t;
  for (std::size_t j = 0; j < k; ++j) t.names.push_back("p" + std::to_string(j + 1));
  t.names.push_back("y");
  for (const auto& row : design) {
    std::vector<double> r = row;
    r.push_back(model(row));
    t.rows.push_back(r);
  }
  return t;
}

ensemble::Matrix OneAtATime(double step, std::vector<double> medians) {
  ensemble::EnsemblePlan plan;
  plan.oatStep = step;
  for (std::size_t j = 0; j < medians.size(); ++j)
    plan.parameters.push_back(
        {"p" + std::to_string(j + 1), 0, ensemble::Uniform{medians[j] - 1, medians[j] + 1}});
  return ensemble::SampleDesign(plan, ensemble::Method::kOneAtATime).rows;
}

constexpr double kA = 3.0;
double Quadratic(const std::vector<double>& p) {
  return kA * p[0] * p[0] + p[1];
}
double Steep(const std::vector<double>& p) {
  return std::exp(10 * p[0]) + p[1];
}

TEST(LocalSensitivity, QuadraticModelGivesExactNormalisedCoefficients) {
  const auto design = OneAtATime(0.1, {2.0, 5.0});
  ASSERT_EQ(design.size(), 9u);  // the medians, then -h, +h, -h/2, +h/2 of each parameter
  auto source = TableSource(TableOf(design, Quadratic, 2), "quadratic.csv", 2, "oat");
  const LocalResult r = LocalOverTime(*source);
  const double y0 = kA * 4 + 5;
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_NEAR(r.rows[0].coefficient, 2 * kA * 4 / y0, 1e-12);  // dy/dp1 p1 / y
  EXPECT_NEAR(r.rows[1].coefficient, 5 / y0, 1e-12);
  EXPECT_NEAR(r.rows[0].halfStep, r.rows[0].coefficient, 1e-12);
  EXPECT_NEAR(r.rows[0].difference, 0.0, 1e-12);
  EXPECT_TRUE(r.warnings.empty());
  const auto summary = SummariseLocal(r);
  ASSERT_EQ(summary.size(), 2u);
  EXPECT_NEAR(summary[0].l1, std::fabs(r.rows[0].coefficient), 1e-12);
}

TEST(LocalSensitivity, CurvedOutputFailsTheStepHalvingCheck) {
  auto source = TableSource(TableOf(OneAtATime(0.2, {1.0, 1.0}), Steep, 2), "steep.csv", 2, "oat");
  const LocalResult r = LocalOverTime(*source, {.tolerance = 0.01});
  EXPECT_FALSE(r.rows[0].withinTolerance);
  EXPECT_TRUE(r.rows[1].withinTolerance);  // p2 enters linearly
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find("y, p1: the step-halving check fails"), std::string::npos)
      << r.warnings[0];
}

TEST(Collinearity, ProportionalColumnsAreCollinearAndOrthogonalOnesAreNot) {
  struct Case {
    const char* name;
    std::vector<std::vector<double>> columns;
    double low, high;
  };
  const Case cases[] = {
      {"orthogonal", {{1, 0, 1, 0}, {0, 2, 0, 2}}, 1 - 1e-12, 1 + 1e-12},
      {"proportional", {{1, 2, 3, 4}, {-2, -4, -6, -8}}, 1e6, INFINITY},
      {"nearly proportional", {{1, 2, 3, 4}, {1, 2, 3, 4.001}}, 100, 1e6},
  };
  for (const Case& c : cases) {
    const double index = CollinearityIndex(c.columns);
    EXPECT_GE(index, c.low) << c.name;
    EXPECT_LE(index, c.high) << c.name;
  }
}

TEST(Collinearity, EverySubsetOfTwoOrMoreParametersIsListed) {
  LocalResult local;
  local.parameters = {"a", "b", "c"};
  for (const double x : {1.0, 2.0, 3.0})
    for (const double s : {x, 2 * x, x * x}) local.rows.push_back({"y", x, "", s, s, 0, true});
  const CollinearityResult r = CollinearityOf(local);
  ASSERT_EQ(r.rows.size(), 4u);  // ab, ac, bc, abc
  EXPECT_EQ(r.rows[0].parameters, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(std::isinf(r.rows[0].index));  // b = 2 a
  EXPECT_LT(r.rows[1].index, 20);
}

TEST(Collinearity, AParameterWhoseMembersFailedIsLeftOutNotEveryTime) {
  LocalResult local;
  local.parameters = {"a", "failed", "c"};
  for (const double x : {1.0, 2.0, 3.0})
    for (const double s : {x, std::nan(""), x * x})
      local.rows.push_back({"y", x, "", s, s, 0, true});
  const CollinearityResult r = CollinearityOf(local);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0].parameters, (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(std::isfinite(r.rows[0].index));
  ASSERT_FALSE(r.notes.empty());
  EXPECT_NE(r.notes[0].find("failed"), std::string::npos) << r.notes[0];
}

TEST(FailurePredictors, TheParameterThatDrivesFailureRanksFirst) {
  EnsembleLayout layout;
  layout.parameters = {"noise", "driver", "other"};
  for (int m = 0; m < 60; ++m) {
    const double driver = (m * 37 % 60) / 60.0;
    layout.design.push_back({(m * 13 % 60) / 60.0, driver, (m * 7 % 60) / 60.0});
    layout.states.push_back(driver > 0.8 ? MemberState::kFailed : MemberState::kDone);
  }
  layout.states[0] = MemberState::kMissing;
  const FailureReport r = FailurePredictors(layout);
  EXPECT_EQ(r.missing, 1u);
  ASSERT_EQ(r.predictors.size(), 3u);
  EXPECT_EQ(r.predictors[0].parameter, "driver");
  EXPECT_NEAR(r.predictors[0].rankBiserial, 1.0, 1e-12);  // every failed value above every done
  EXPECT_LT(r.predictors[0].pValue, 1e-4);
  EXPECT_LT(std::fabs(r.predictors[1].rankBiserial), 0.5);
}

double Linear(const std::vector<double>& u) {
  return 2 * u[0] + u[1];
}

TEST(SobolOverTime, LinearModelGivesItsIndicesAndConvergenceRowsAtNHalfAndQuarter) {
  const auto unit = ensemble::SobolCrossSampleUnit(2, 256);
  auto source = TableSource(TableOf(unit, Linear, 2), "linear.csv", 2, "sobol");
  const SobolResult r = SobolOverTime(*source, {.resamples = 100});
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_NEAR(r.rows[0].s1, 0.8, 0.02);  // variances 4/12 and 1/12
  EXPECT_NEAR(r.rows[1].st, 0.2, 0.02);
  EXPECT_LE(r.rows[0].s1Low, r.rows[0].s1);
  EXPECT_GE(r.rows[0].s1High, r.rows[0].s1);
  ASSERT_EQ(r.convergence.size(), 6u);
  EXPECT_EQ(r.convergence[0].s1, r.rows[0].s1);  // the row at N is the indices' own
  const int points[] = {256, 128, 64};
  const double error[] = {0.02, 0.1, 0.15};  // the estimator's spread at 256, 128, 64 points
  for (std::size_t c = 0; c < 3; ++c) {
    EXPECT_EQ(r.convergence[c].basePoints, points[c]);
    EXPECT_EQ(r.convergence[c].parameter, "p1");
    EXPECT_NEAR(r.convergence[c].s1, 0.8, error[c]);
  }
}

}  // namespace
}  // namespace kvsorv::analysis
