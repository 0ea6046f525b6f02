// The calibration's own rules on the example site: priors are densities, the likelihood is
// that of the observations given the run, a run that fails or a point outside the priors has
// zero density, and the verdict on a chains file.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "calibration/calibration_model.h"
#include "calibration/chain_diagnostics.h"
#include "calibration/prior.h"
#include "ensemble/seeded_random.h"
#include "support/temp_dir.h"

namespace kvsorv::calibration {
namespace {

using namespace ensemble;

TEST(Priors, EveryDensity_IntegratesToOneAndIsZeroOutsideItsSupport) {
  const struct {
    const char* name;
    Distribution d;
    double low, high;  // beyond the support, or far in the tails
    bool bounded;      // below: the density at `low` is 0
  } cases[] = {
      {.name = "uniform", .d = Uniform{2, 5}, .low = 0, .high = 7, .bounded = true},
      {.name = "normal", .d = Normal{1, 0.5}, .low = -5, .high = 7, .bounded = false},
      {.name = "lognormal", .d = LogNormal{0.2, 0.4}, .low = -1, .high = 30, .bounded = true},
      {.name = "triangular", .d = Triangular{1, 1.5, 4}, .low = 0, .high = 5, .bounded = true},
      {.name = "truncated-normal",
       .d = TruncatedNormal{0, 1, -0.5, 2},
       .low = -1,
       .high = 3,
       .bounded = true},
  };
  for (const auto& c : cases) {
    constexpr int kSteps = 200000;
    const double h = (c.high - c.low) / kSteps;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i)
      sum += std::exp(LogPriorDensity(c.d, c.low + (i + 0.5) * h)) * h;
    EXPECT_NEAR(sum, 1.0, 1e-4) << c.name;
    if (c.bounded) {
      EXPECT_EQ(LogPriorDensity(c.d, c.low), kZeroDensity) << c.name;
    }
  }
  EXPECT_THROW(LogPriorDensity(Table::Of({1, 2}), 1), std::invalid_argument);
}

class CalibrationModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) dir_.CopyExample(f);
    dir_.Write("obs.csv",
               "time,output,value,sd,relative_error\n1605,Cw,10100,,0.02\n1620,Cf,195,4,\n");
    dir_.Write("plan.toml",
               "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1700\n"
               "seed = 1\n[[parameter]]\nsymbol = \"AlambdaW\"\ndistribution = \"uniform\"\n"
               "min = 0.015\nmax = 0.03\n[[observations]]\nfile = \"obs.csv\"\n"
               "[error_scale]\ndistribution = \"lognormal\"\nmeanlog = 0\nsdlog = 1\n");
    plan_ = ReadCalibrationPlan(dir_.File("plan.toml"));
  }
  testing::TempWorkDir dir_;
  CalibrationPlan plan_;
};

TEST_F(CalibrationModelTest, Likelihood_IsTheGaussianOfTheModelledValuesAtTheErrorScale) {
  const CalibrationModel model(plan_);
  const std::vector<double> x{0.0244, 2.0};
  const std::vector<double> modelled = model.Modelled(model.Run(x));
  ASSERT_EQ(modelled.size(), 2u);
  // The wood observation's 2 % relative error is 202 g m-2; the foliage's sd 4; both doubled.
  double expected = 0;
  const double values[] = {10100, 195}, sds[] = {2 * 202.0, 2 * 4.0};
  for (int i = 0; i < 2; ++i) {
    const double r = (modelled[i] - values[i]) / sds[i];
    expected += -0.5 * r * r - std::log(sds[i]) - 0.5 * std::log(2 * std::numbers::pi);
  }
  const Evaluation e = model.Evaluate(x);
  EXPECT_NEAR(e.logLikelihood, expected, 1e-9 * std::fabs(expected));
  EXPECT_NEAR(e.logPosterior - e.logLikelihood, model.LogPrior(x), 1e-12);
  EXPECT_FALSE(e.failed);
}

TEST_F(CalibrationModelTest, FailedRunOrPointOutsideThePriors_HasZeroDensity) {
  const CalibrationModel model(plan_);
  const Evaluation failed = model.Evaluate({0.0195, 1.0});  // the integrator gives up here
  EXPECT_TRUE(failed.failed);
  EXPECT_EQ(failed.logPosterior, kZeroDensity);
  const Evaluation outside = model.Evaluate({0.05, 1.0});
  EXPECT_FALSE(outside.failed);
  EXPECT_EQ(outside.logPosterior, kZeroDensity);
}

// A chains file's contents with independent standard normal draws, the second chain shifted
// by `shift`.
ChainsContents NormalChains(std::size_t generations, double shift) {
  ChainsContents c;
  c.header.names = {"a"};
  c.header.chains = 4;
  c.header.sampler = {.chains = 4, .generations = static_cast<int>(generations), .burnIn = 0};
  c.generations = generations;
  SeededEngine g = StreamEngine(7, 0, 0);
  for (std::size_t i = 0; i < generations; ++i)
    for (int k = 0; k < 4; ++k) {
      c.draws.push_back(Quantile(Normal{k == 1 ? shift : 0.0, 1}, Uniform01(g)));
      c.logPosterior.push_back(0);
      c.logLikelihood.push_back(0);
      c.accepted.push_back(1);
      c.failed.push_back(0);
    }
  return c;
}

TEST(ChainDiagnostics, MixedChains_AreConvergedAndAShiftedOneIsNot) {
  const ChainsDiagnostics mixed = DiagnoseChains(NormalChains(1000, 0), {});
  EXPECT_TRUE(mixed.converged) << mixed.advice;
  EXPECT_NEAR(mixed.quantities[0].convergence.essBulk, 4000, 400);

  const ChainsDiagnostics shifted = DiagnoseChains(NormalChains(1000, 1.0), {});
  EXPECT_FALSE(shifted.converged);
  EXPECT_GT(shifted.moreGenerations, 0u);
  EXPECT_NE(shifted.advice.find("R-hat"), std::string::npos) << shifted.advice;

  const ChainsDiagnostics few = DiagnoseChains(NormalChains(100, 0), {.rhat = 1.01, .ess = 1000});
  EXPECT_FALSE(few.converged);
  // The ESS grows with the generations kept: the 100 kept times 1000 / the least ESS.
  const QuantitySummary& q = few.quantities[0];
  const double least = std::min(q.convergence.essBulk, q.convergence.essTail);
  EXPECT_NEAR(static_cast<double>(few.moreGenerations), (1000 / least - 1) * 100, 1) << few.advice;
}

}  // namespace
}  // namespace kvsorv::calibration
