#pragma once
// Shared set-up of the equation tests: the example forest on the global tables, evaluated
// into the global Processes, with short accessors by symbol and a relative comparison for
// values recomputed by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <string_view>

#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "support/model_fixture.h"

namespace kvsorv::testing {

class EquationTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
  }

  // Evaluates the global tables into the global Processes.
  static void Evaluate(bool insolubleCNCheck = false) {
    ComputeProcesses(Drivers, Params, States, Processes, 0.0, insolubleCNCheck);
  }

  static double& S(std::string_view symbol) { return StateValue(States, symbol); }
  static double& D(std::string_view symbol) { return DriverValue(Drivers, symbol); }
  static double& K(std::string_view symbol) { return ParamValue(Params, symbol); }
  static double P(std::string_view symbol) { return ProcessValue(Processes, symbol); }
};

// Hand recomputations repeat the model's operations, sometimes grouped differently or with
// a library function in place of the model's own (asin for the arcsine, pow for Power), so
// they differ from the model by a few rounding steps, far below 1e-12 relative. Any wrong
// constant, symbol or grouping moves a value by many orders of magnitude more.
inline constexpr double kHandTolerance = 1e-12;

inline ::testing::AssertionResult Near(double actual, double expected,
                                       double relative = kHandTolerance) {
  const double tolerance = relative * std::max(std::fabs(expected), 1e-300);
  if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::setprecision(17) << actual << " differs from "
                                       << expected << " by more than " << tolerance;
}

}  // namespace kvsorv::testing
