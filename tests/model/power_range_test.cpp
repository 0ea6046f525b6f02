// The model's power function with integral negative exponents near the ends of the double
// range: the reciprocal of an overflowing power underflows silently, the reciprocal of an
// underflowing power overflows.

#include <gtest/gtest.h>

#include <cmath>

#include "model/checked_math.h"
#include "model/errors.h"

namespace kvsorv {
namespace {

TEST(PowerRange, NegativeIntegralExponents) {
  EXPECT_EQ(fp::Power(1e200, -2.0), 0.0);  // 1e-400: below the range, silently 0
  EXPECT_EQ(fp::Power(-1e200, -3.0), 0.0);
  EXPECT_THROW(fp::Power(1e-200, -2.0), EOverflow);  // 1e400: beyond the range
  EXPECT_THROW(fp::Power(-1e-200, -3.0), EOverflow);
  EXPECT_THROW(fp::Power(0.0, -2.0), EZeroDivide);
  // Exact powers of two stay exact down to the smallest normal number.
  EXPECT_EQ(fp::Power(2.0, -1022.0), std::ldexp(1.0, -1022));
  EXPECT_EQ(fp::Power(0.5, -1023.0), std::ldexp(1.0, 1023));
  EXPECT_EQ(fp::Power(-2.0, -3.0), -0.125);
}

}  // namespace
}  // namespace kvsorv
