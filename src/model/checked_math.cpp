#include "model/checked_math.h"

#include "model/errors.h"

namespace kvsorv::fp {

void RaiseZeroDivide() {
  throw EZeroDivide();
}
void RaiseInvalidOp() {
  throw EInvalidOp();
}
void RaiseOverflow() {
  throw EOverflow();
}

void RaiseNonFinite(double x) {
  if (std::isnan(x)) RaiseInvalidOp();
  RaiseOverflow();
}

void RaiseDivisionFault(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) RaiseInvalidOp();
  if (std::isinf(a) || std::isinf(b)) RaiseOverflow();
  if (b == 0.0) {
    if (a == 0.0) RaiseInvalidOp();
    RaiseZeroDivide();
  }
  RaiseOverflow();
}

double IntPower(double x, std::int64_t n) {
  if (!std::isfinite(x)) RaiseNonFinite(x);
  std::int64_t remaining = n < 0 ? -n : n;
  double base = x;
  double result = 1.0;
  while (remaining > 0) {
    while ((remaining & 1) == 0) {
      remaining >>= 1;
      base *= base;
    }
    --remaining;
    result *= base;
  }
  if (n >= 0) return Finite(result);
  // The reciprocal of a power beyond the double range is a silent underflow to 0; the
  // reciprocal of a power that underflowed to 0 (x itself not 0) is beyond the range.
  if (std::isinf(result)) return 1.0 / result;
  if (result == 0.0 && x != 0.0) RaiseOverflow();
  return Div(1.0, result);
}

}  // namespace kvsorv::fp
