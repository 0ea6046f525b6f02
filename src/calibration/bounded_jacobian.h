#pragma once
// The Jacobian of a vector function by finite differences at a point within bounds: central
// differences where the stencil fits within the bounds, the one-sided three-point formula
// pointing inward where it does not, both of second order in the step.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv::calibration {

// The function's values at x, nullopt where it cannot be evaluated. Called from several threads
// at once.
using VectorFunction =
    std::function<std::optional<std::vector<double>>(const std::vector<double>&)>;

struct BoundedJacobian {
  // Per parameter, the derivatives of the function's values by it; NaN throughout when no
  // stencil within the bounds could be evaluated.
  std::vector<std::vector<double>> columns;
  int evaluations = 0;
  int failures = 0;  // evaluations that gave nullopt
  std::vector<std::string> notes;
};

// The step of parameter j is `relativeStep` |x_j| (of the bounds' width when x_j is 0), at most
// a quarter of the width. A stencil one of whose points cannot be evaluated gives way to the
// next that fits within the bounds (central, forward, backward). Columns are formed on up to
// `threads` threads; the result does not depend on their number. `fx` holds the values at x.
// Failures: std::runtime_error when the function gives a number of values other than fx's.
BoundedJacobian JacobianWithinBounds(const VectorFunction& f, const std::vector<double>& x,
                                     const std::vector<double>& fx,
                                     const std::vector<double>& lower,
                                     const std::vector<double>& upper, double relativeStep,
                                     std::size_t threads);

}  // namespace kvsorv::calibration
