// The checked arithmetic: which fault raises which error kind, and what passes silently.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/checked_math.h"
#include "model/errors.h"

namespace kvsorv {
namespace {

using namespace fp;

TEST(CheckedMath, DivisionFaults) {
  EXPECT_EQ(Div(1.0, 4.0), 0.25);
  EXPECT_THROW(Div(1.0, 0.0), EZeroDivide);
  EXPECT_THROW(Div(-3.0, 0.0), EZeroDivide);
  EXPECT_THROW(Div(0.0, 0.0), EInvalidOp);
  EXPECT_THROW(Div(1e300, 1e-300), EOverflow);
  EXPECT_EQ(Div(1e-300, 1e300), 0.0);  // underflow is silent
  EXPECT_THROW(Div(1.0, std::numeric_limits<double>::infinity()), EOverflow);
}

TEST(CheckedMath, LogarithmSquareRootAndExp) {
  EXPECT_DOUBLE_EQ(Ln(std::exp(2.0)), 2.0);
  EXPECT_THROW(Ln(0.0), EZeroDivide);
  EXPECT_THROW(Ln(-1.0), EInvalidOp);
  EXPECT_EQ(Sqrt(9.0), 3.0);
  EXPECT_EQ(Sqrt(0.0), 0.0);
  EXPECT_THROW(Sqrt(-1e-300), EInvalidOp);
  EXPECT_THROW(Exp(710.0), EOverflow);
  EXPECT_EQ(Exp(-1000.0), 0.0);
  EXPECT_THROW(Finite(std::numeric_limits<double>::infinity()), EOverflow);
  EXPECT_THROW(Finite(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
}

TEST(CheckedMath, PowerRulesInOrder) {
  struct Case {
    double x, y, expected;
  };
  const Case cases[] = {
      {0.0, 0.0, 1.0},   {-2.0, 0.0, 1.0}, {0.0, 2.5, 0.0},   {0.0, 3.0, 0.0},
      {-3.0, 1.0, -3.0}, {-3.0, 2.0, 9.0}, {-2.0, 3.0, -8.0}, {2.0, -2.0, 0.25},
      {7.25, 1.0, 7.25}, {1.5, 2.0, 2.25}, {4.0, 0.5, 2.0},   {2.0, 10.0, 1024.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Power(c.x, c.y), c.expected) << c.x << "^" << c.y;
  EXPECT_THROW(Power(0.0, -1.0), EZeroDivide);
  EXPECT_THROW(Power(0.0, -0.5), EZeroDivide);
  EXPECT_THROW(Power(-2.0, 0.5), EInvalidOp);
  EXPECT_THROW(Power(10.0, 400.0), EOverflow);
  EXPECT_THROW(Power(10.0, 400.5), EOverflow);
  // Beyond the integer range the exp-ln form applies, so a negative base fails there.
  EXPECT_THROW(Power(-1.0, 4294967296.0), EInvalidOp);
}

TEST(CheckedMath, ErrorKindsFormOneTree) {
  // A math-error handler catches the insoluble C:N error; a division handler does not.
  EXPECT_THROW(throw ECalculateError(), EMathError);
  bool caughtAsZeroDivide = false;
  try {
    try {
      throw ECalculateError();
    } catch (const EZeroDivide&) {
      caughtAsZeroDivide = true;
    }
  } catch (const EMathError& e) {
    EXPECT_STREQ(e.what(), "Insoluble C:N is less than target insoluble C:N. ");
  }
  EXPECT_FALSE(caughtAsZeroDivide);
  EXPECT_THROW(throw ETooManySteps(), ERunTimeError);
  EXPECT_THROW(throw EOutputStepNotMultiple(), EStepError);
  EXPECT_STREQ(ETooManySteps().what(), "Too many steps in routine ODEIntegrator");
  EXPECT_STREQ(EZeroDivide().what(), "Floating point division by zero");
  EXPECT_STREQ(EInvalidOp().what(), "Invalid floating point operation");
  EXPECT_STREQ(EOverflow().what(), "Floating point overflow");
  EXPECT_STREQ(EOutputStepTooSmall().what(), "Output time step is less than simulation time step.");
  EXPECT_STREQ(EOutputStepTooLarge().what(), "Output time step is greater than run length.");
  EXPECT_STREQ(EOutputStepNotMultiple().what(),
               "Output time step must be a multiple of simulation time step.");
  EXPECT_STREQ(EConvertError("1,5").what(), "'1,5' is not a valid floating point value");
  EXPECT_EQ(ECalcInitialProc("X").Message(),
            "Unable to calculate initial process values using entered data. Parameter, state "
            "variables, and processes have been set to their previous values. Additional Info: X");
  EXPECT_EQ(ECalcNewValue("Y").Message(),
            "Error calculating new parameter or state variable. New values of parameters and "
            "states but old values of the processes are now shown in the window. Additional "
            "Info: Y");
  EXPECT_EQ(ECalcNewProcess("Z").Message(),
            "Error calculating new processes. New values of parameters, states and processes "
            "(except NPPf, NPPw, NPPr, and NPPt) are now shown in the window. Additional Info: Z");
}

}  // namespace
}  // namespace kvsorv
