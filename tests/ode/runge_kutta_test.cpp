// The adaptive Runge-Kutta integrator on right-hand sides with known behaviour.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/model_indices.h"
#include "ode/integrator.h"
#include "ode/runge_kutta.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"

namespace kvsorv {
namespace {

// Right-hand side that depends on x only: f(6) = c, 0 elsewhere. With h = 6 every product in
// the step is exact, so the scaled error of a trial can be set to an exact value.
struct SpikeAtSix {
  double c;
  void operator()(double x, const StateVector&, StateVector& dydx) { dydx[1] = x == 6.0 ? c : 0.0; }
};

struct Decay {  // y' = -k y
  double k = 1.0;
  int calls = 0;
  std::vector<double> xs;
  void operator()(double x, const StateVector& y, StateVector& dydx) {
    ++calls;
    xs.push_back(x);
    dydx[1] = -k * y[1];
  }
};

struct Oscillator {  // y1' = y2, y2' = -y1
  void operator()(double, const StateVector& y, StateVector& dydx) {
    dydx[1] = y[2];
    dydx[2] = -y[1];
  }
};

TEST(RKQualityControl, ScaledErrorOfExactlyOneIsAccepted) {
  // Two half steps give 0.5 c, the full step c; the difference -c/2 against scale 1, eps 1.
  SpikeAtSix f{2.0};
  StateVector y, dydx, yscal;
  y[1] = 1.0;
  dydx[1] = 0.0;
  yscal[1] = 1.0;
  double x = 0.0, hdid = 0.0, hnext = 0.0;
  RKQualityControl(y, dydx, 1, x, 6.0, 1.0, yscal, hdid, hnext, f);
  EXPECT_EQ(hdid, 6.0);
  EXPECT_EQ(x, 6.0);
  EXPECT_DOUBLE_EQ(hnext, 0.9 * 6.0);
  // Result of the half steps plus the eight-digit correction of the difference.
  EXPECT_DOUBLE_EQ(y[1], 1.0 + 1.0 - 0.06666666);
}

TEST(RKQualityControl, NextStepSizeFollowsTheScaledError) {
  struct Case {
    double c;  // scaled error is c / 2
    double expectedHnext;
  };
  const Case cases[] = {
      {1.0, 0.9 * 6.0 * std::pow(0.5, -0.2)},        // between the limits: grow exponent
      {0.0014, 0.9 * 6.0 * std::pow(0.0007, -0.2)},  // above the limit
      {0.0012, 24.0},                                // exactly at the limit: four times
      {0.0, 24.0},                                   // no error
  };
  for (const auto& c : cases) {
    SpikeAtSix f{c.c};
    StateVector y, dydx, yscal;
    yscal[1] = 1.0;
    double x = 0.0, hdid = 0.0, hnext = 0.0;
    RKQualityControl(y, dydx, 1, x, 6.0, 1.0, yscal, hdid, hnext, f);
    EXPECT_EQ(hdid, 6.0) << c.c;
    // 1e-12 relative: the scaled error itself carries a rounding error of the c/2 product.
    EXPECT_NEAR(hnext, c.expectedHnext, 1e-12 * c.expectedHnext) << c.c;
  }
}

TEST(RKQualityControl, ScaledErrorAboveOneShrinksTheStep) {
  SpikeAtSix f{2.2};  // errmax 1.1: rejected; the smaller trial misses the spike
  StateVector y, dydx, yscal;
  yscal[1] = 1.0;
  double x = 0.0, hdid = 0.0, hnext = 0.0;
  RKQualityControl(y, dydx, 1, x, 6.0, 1.0, yscal, hdid, hnext, f);
  EXPECT_DOUBLE_EQ(hdid, 0.9 * 6.0 * std::pow(1.1, -0.1));
  EXPECT_DOUBLE_EQ(hnext, 4.0 * hdid);
  EXPECT_DOUBLE_EQ(x, hdid);
}

TEST(RKQualityControl, DivisionByZeroHalvesTheStepOnce) {
  int throws = 0;
  auto f = [&](double x, const StateVector&, StateVector& dydx) {
    if (x > 4.0 && throws == 0) {
      ++throws;
      throw EZeroDivide();
    }
    dydx[1] = 1.0;
  };
  StateVector y, dydx, yscal;
  dydx[1] = 1.0;
  yscal[1] = 1.0;
  double x = 0.0, hdid = 0.0, hnext = 0.0;
  RKQualityControl(y, dydx, 1, x, 6.0, 1e-8, yscal, hdid, hnext, f);
  EXPECT_EQ(throws, 1);
  EXPECT_EQ(hdid, 3.0);
  EXPECT_EQ(x, 3.0);
  EXPECT_DOUBLE_EQ(y[1], 3.0);
}

TEST(RKQualityControl, OtherMathErrorsPassThrough) {
  auto f = [](double, const StateVector&, StateVector&) { throw EInvalidOp(); };
  StateVector y, dydx, yscal;
  yscal[1] = 1.0;
  double x = 0.0, hdid = 0.0, hnext = 0.0;
  EXPECT_THROW(RKQualityControl(y, dydx, 1, x, 1.0, 1e-8, yscal, hdid, hnext, f), EInvalidOp);
}

TEST(RKQualityControl, DerivativeThatAlwaysDividesByZeroEndsWithStepTooSmall) {
  // Halving forever would hang; once the step no longer changes x the step is too small.
  auto f = [](double, const StateVector&, StateVector&) { throw EZeroDivide(); };
  StateVector y, dydx, yscal;
  yscal[1] = 1.0;
  double x = 5.0, hdid = 0.0, hnext = 0.0;
  try {
    RKQualityControl(y, dydx, 1, x, 1.0, 1e-8, yscal, hdid, hnext, f);
    FAIL() << "no exception";
  } catch (const EStepTooSmall& e) {
    EXPECT_STREQ(e.what(), "Step size too small in routine RKQualityControl");
  }
}

TEST(ErrorScale, StateNearZeroIsMeasuredAgainstEps) {
  EXPECT_EQ(ErrorScale(0.0, 2.0, 0.5, 1e-8), 1e-8 + 1.0 + 1e-30);
  EXPECT_EQ(ErrorScale(-3.0, 2.0, -0.5, 1e-8), 3.0 + 1.0 + 1e-30);
  EXPECT_EQ(ErrorScale(1e-9, 0.0, 1.0, 1e-8), 1e-8 + 1e-30);
  EXPECT_EQ(ErrorScale(0.0, 0.0, 1.0, 0.0), 1e-30);
}

TEST(ODEIntegrator, ExponentialDecayMatchesItsSolution) {
  struct Case {
    double x1, x2, y0, expected;
  };
  const Case cases[] = {
      {0.0, 1.0, 1.0, std::exp(-1.0)},
      {0.0, 10.0, 2.0, 2.0 * std::exp(-10.0)},
      {1.0, 0.0, 1.0, std::exp(1.0)},  // backwards
  };
  for (const auto& c : cases) {
    Decay f;
    StateVector y;
    y[1] = c.y0;
    int nok = 0, nbad = 0;
    ODEIntegrator(y, 1, nok, c.x1, c.x2, 1e-8, c.x2 - c.x1, 0.0, nbad, f);
    // Step doubling holds the local error near eps relative; 1e-7 leaves room for the
    // accumulation over the steps taken.
    EXPECT_NEAR(y[1], c.expected, 1e-7 * std::fabs(c.expected)) << c.x1 << "->" << c.x2;
    EXPECT_GT(nok, 0);
  }
}

TEST(ODEIntegrator, BackwardIntegrationUsesNegativeSteps) {
  Decay f;
  StateVector y;
  y[1] = 1.0;
  int nok = 0, nbad = 0;
  ODEIntegrator(y, 1, nok, 2.0, 0.0, 1e-8, 0.5, 0.0, nbad, f);
  for (double x : f.xs) {
    EXPECT_LE(x, 2.0);
    EXPECT_GE(x, 0.0);
  }
  EXPECT_NEAR(y[1], std::exp(2.0), 1e-7 * std::exp(2.0));
}

TEST(ODEIntegrator, OscillatorOverOnePeriod) {
  Oscillator f;
  StateVector y;
  y[1] = 1.0;
  y[2] = 0.0;
  int nok = 0, nbad = 0;
  const double period = 2.0 * 3.14159265358979324;
  ODEIntegrator(y, 2, nok, 0.0, period, 1e-10, 0.1, 1e-12, nbad, f);
  // Tolerance 1e-8 absolute: a hundred or so steps at local error 1e-10.
  EXPECT_NEAR(y[1], 1.0, 1e-8);
  EXPECT_NEAR(y[2], 0.0, 1e-8);
}

TEST(ODEIntegrator, LastStepEndsExactlyAtX2) {
  Decay f;
  StateVector y;
  y[1] = 1.0;
  int nok = 0, nbad = 0;
  ODEIntegrator(y, 1, nok, 0.0, 0.7, 1e-3, 0.5, 0.0, nbad, f);
  EXPECT_EQ(f.xs.back(), 0.7);  // the last evaluation is the full step's end point
}

TEST(ODEIntegrator, ZeroLengthIntervalIsStepTooSmall) {
  Decay f;
  StateVector y;
  y[1] = 1.0;
  int nok = 0, nbad = 0;
  try {
    ODEIntegrator(y, 1, nok, 3.0, 3.0, 1e-8, 1.0, 0.0, nbad, f);
    FAIL() << "no exception";
  } catch (const EStepTooSmall& e) {
    EXPECT_STREQ(e.what(), "Step size too small in routine RKQualityControl");
  }
  EXPECT_EQ(y[1], 1.0);
}

TEST(ODEIntegrator, HalvingAfterDivisionByZeroCountsABadStepAndCompletes) {
  int throws = 0;
  auto f = [&](double x, const StateVector&, StateVector& dydx) {
    if (x > 4.0 && throws == 0) {
      ++throws;
      throw EZeroDivide();
    }
    dydx[1] = 1.0;
  };
  StateVector y;
  int nok = 0, nbad = 0;
  ODEIntegrator(y, 1, nok, 0.0, 6.0, 1e-8, 6.0, 0.0, nbad, f);
  EXPECT_EQ(throws, 1);
  EXPECT_EQ(nbad, 1);
  EXPECT_DOUBLE_EQ(y[1], 6.0);
}

TEST(ODEIntegrator, StepBelowMinimumAndTooManySteps) {
  {
    Decay f;
    f.k = 50.0;
    StateVector y;
    y[1] = 1.0;
    int nok = 0, nbad = 0;
    try {
      ODEIntegrator(y, 1, nok, 0.0, 10.0, 1e-8, 10.0, 9.0, nbad, f);
      FAIL() << "no exception";
    } catch (const EStepTooSmall& e) {
      EXPECT_STREQ(e.what(), "Step size too small in routine ODEIntegrator");
    }
    EXPECT_EQ(y[1], 1.0);  // written back only on success
  }
  {
    auto f = [](double x, const StateVector&, StateVector& dydx) { dydx[1] = std::sin(1e4 * x); };
    StateVector y;
    int nok = 0, nbad = 0;
    EXPECT_THROW(ODEIntegrator(y, 1, nok, 0.0, 1e4, 1e-8, 1.0, 0.0, nbad, f), ETooManySteps);
    EXPECT_EQ(nok + nbad, 10000);
  }
}

class ModelIntegratorTest : public testing::ModelTest {};

TEST_F(ModelIntegratorTest, OneYearOfTheExampleForestAndHeldStates) {
  LoadExample();
  WaterCoefficient = 10.0;
  States[st::Cw].HoldConstant = true;
  StateVector y;
  for (int i = 1; i <= ModelDef.numstate; ++i) y[i] = States[i].value;
  int nok = 0, nbad = 0;
  // The uncalibrated forest is far from steady and stiff in its labile N pools, so it needs
  // steps far below a run's minimum; hmin 0 lets it through.
  ODEIntegrator(y, ModelDef.numstate, nok, 0.0, 1.0, 1e-8, 1.0, 0.0, nbad, Drivers, Params, States,
                WaterCoefficient);
  EXPECT_EQ(y[st::Cw], 10000.0);
  EXPECT_NE(y[st::Cf], 200.0);
  for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_TRUE(std::isfinite(y[i])) << i;
}

}  // namespace
}  // namespace kvsorv
