#pragma once
// Checked floating-point operations. A fault raises the model's math error instead of
// producing an infinity or NaN: EZeroDivide for x/0 (x != 0) and ln 0, EInvalidOp for 0/0 and
// ln or sqrt of a negative number, EOverflow for a result beyond the double range. A
// non-finite operand can only come from an overflowed product or sum, so it raises EOverflow.
// Underflow is silent. No floating-point trap settings are touched.

#include <cmath>
#include <cstdint>

namespace kvsorv::fp {

[[noreturn]] void RaiseZeroDivide();
[[noreturn]] void RaiseInvalidOp();
[[noreturn]] void RaiseOverflow();

// Raises for a non-finite value: EInvalidOp for NaN, EOverflow for an infinity.
[[noreturn]] void RaiseNonFinite(double x);

// Classifies a failed division a / b.
[[noreturn]] void RaiseDivisionFault(double a, double b);

// x unchanged when finite; otherwise the matching math error.
inline double Finite(double x) {
  if (std::isfinite(x)) [[likely]]
    return x;
  RaiseNonFinite(x);
}

inline double Div(double a, double b) {
  const double r = a / b;
  if (std::isfinite(r) && std::isfinite(b)) [[likely]]
    return r;
  RaiseDivisionFault(a, b);
}

// Natural logarithm.
inline double Ln(double x) {
  if (x > 0.0 && x <= 1.79769313486231570e308) [[likely]]
    return std::log(x);
  if (x == 0.0) RaiseZeroDivide();
  if (std::isinf(x)) RaiseOverflow();
  RaiseInvalidOp();
}

inline double Sqrt(double x) {
  if (x >= 0.0 && x <= 1.79769313486231570e308) [[likely]]
    return std::sqrt(x);
  if (std::isinf(x)) RaiseOverflow();
  RaiseInvalidOp();
}

inline double Exp(double x) {
  const double r = std::exp(x);
  if (std::isfinite(r) && std::isfinite(x)) [[likely]]
    return r;
  if (std::isnan(x)) RaiseInvalidOp();
  RaiseOverflow();
}

// x to the integer power n by repeated squaring; the reciprocal for negative n. 0 to a
// negative power raises EZeroDivide, a result beyond the double range EOverflow; a result
// too small for a double underflows silently (to 0 or a denormal).
double IntPower(double x, std::int64_t n);

// The model's power function: y = 0 gives 1; x = 0 with y > 0 gives 0; an integral y of
// magnitude at most 2147483647 gives the integer power (so negative x is allowed);
// otherwise exp(y * ln x), which fails for x <= 0.
inline double Power(double x, double y) {
  if (y == 0.0) return 1.0;
  if (x == 0.0 && y > 0.0) return 0.0;
  // Within that range the integer conversion truncates exactly, so it tells whether y is
  // integral without a call to trunc.
  if (std::fabs(y) <= 2147483647.0 && y == static_cast<double>(static_cast<std::int64_t>(y))) {
    if (y == 1.0) return Finite(x);  // what IntPower(x, 1) gives: 1.0 * x
    return IntPower(Finite(x), static_cast<std::int64_t>(y));
  }
  return Exp(Finite(y) * Ln(x));
}

// The angle whose sine is x, from x and sqrt(1 - x*x); |x| must be below 1.
inline double ArcSin(double x) {
  return std::atan2(x, Sqrt(1.0 - x * x));
}

}  // namespace kvsorv::fp
