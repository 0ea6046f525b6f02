// The estimators against models whose indices are known: the Ishigami function (Sobol
// indices in closed form) and a linear model (Morris effects are its coefficients).

#include "analysis/estimators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "ensemble/sampling.h"

namespace kvsorv::analysis {
namespace {

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
  y[5 * 5 + 2] = std::numeric_limits<double>::quiet_NaN();
  const SobolIndices s = SobolFromCrossSample(y, 3, 100);
  EXPECT_EQ(s.usedBasePoints, 8191);
  const double first[] = {0.3139, 0.4424, 0.0}, total[] = {0.5576, 0.4424, 0.2437};
  for (std::size_t j = 0; j < 3; ++j) {
    EXPECT_NEAR(s.first[j], first[j], 0.03) << j;  // the estimators' error at 8192 points
    EXPECT_NEAR(s.total[j], total[j], 0.03) << j;
    EXPECT_LE(s.firstLow[j], s.first[j]);
    EXPECT_GE(s.firstHigh[j], s.first[j]);
    EXPECT_LE(s.totalLow[j], s.total[j]);
  }
  EXPECT_THROW(SobolFromCrossSample(std::vector<double>(7, 1.0), 3), std::invalid_argument);
}

TEST(MorrisEffects, LinearModelGivesItsCoefficientsTimesTheRanges) {
  // y = 3 a - 2 b; ranges 10 and 1: effects per range 30 and -2, the same on every step.
  std::vector<std::vector<double>> design = {{0, 0}, {5, 0}, {5, 0.5}, {2, 1}, {2, 0.5}, {7, 0.5}};
  std::vector<double> y;
  for (const auto& row : design) y.push_back(3 * row[0] - 2 * row[1]);
  const MorrisEffects m = MorrisFromTrajectories(design, y, {10, 1});
  EXPECT_NEAR(m.mu[0], 30, 1e-12);
  EXPECT_NEAR(m.muStar[1], 2, 1e-12);
  EXPECT_NEAR(m.mu[1], -2, 1e-12);
  EXPECT_NEAR(m.sigma[0], 0, 1e-12);
  EXPECT_EQ(m.effects[0], 2);
}

TEST(Envelope, QuantilesOfFiniteValuesOnly) {
  const Envelope e = EnvelopeOf({4, 1, std::numeric_limits<double>::quiet_NaN(), 3, 2, 5});
  EXPECT_EQ(e.members, 5);
  EXPECT_DOUBLE_EQ(e.mean, 3);
  EXPECT_DOUBLE_EQ(e.q50, 3);
  EXPECT_DOUBLE_EQ(e.q25, 2);
  EXPECT_DOUBLE_EQ(e.q05, 1.2);
  EXPECT_DOUBLE_EQ(e.sd, std::sqrt(2.5));
  EXPECT_TRUE(std::isnan(EnvelopeOf({}).mean));
}

}  // namespace
}  // namespace kvsorv::analysis
