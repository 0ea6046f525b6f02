#include "calibration/bounded_jacobian.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "tasks/worker_pool.h"

namespace kvsorv::calibration {

namespace {

// A difference formula: the derivative is sum of weight * f(x + offset h) over 2h.
struct Stencil {
  int offsets[3];
  double weights[3];
  int points;
};

constexpr Stencil kCentral{{1, -1, 0}, {1, -1, 0}, 2};
constexpr Stencil kForward{{0, 1, 2}, {-3, 4, -1}, 3};
constexpr Stencil kBackward{{0, -1, -2}, {3, -4, 1}, 3};

struct Column {
  std::vector<double> derivatives;
  bool formed = false;
  int evaluations = 0, failures = 0;
};

Column ColumnOf(const VectorFunction& f, const std::vector<double>& x,
                const std::vector<double>& fx, double lower, double upper, std::size_t j,
                double relativeStep) {
  const double width = upper - lower;
  double h = relativeStep * (x[j] != 0 ? std::abs(x[j]) : width);
  h = std::min(h, width / 4);
  h = (x[j] + h) - x[j];  // a step the point's floating-point neighbours take exactly
  Column c;
  // The values at x + offset h for offsets -2 .. 2, each run at most once.
  std::optional<std::vector<double>> values[5];
  bool run[5] = {false, false, true, false, false};
  values[2] = fx;
  const auto at = [&](int offset) -> const std::optional<std::vector<double>>& {
    const int k = offset + 2;
    if (!run[k]) {
      std::vector<double> moved = x;
      moved[j] = x[j] + offset * h;
      values[k] = f(moved);
      run[k] = true;
      ++c.evaluations;
      if (!values[k]) ++c.failures;
      if (values[k] && values[k]->size() != fx.size())
        throw std::runtime_error("the function gave " + std::to_string(values[k]->size()) +
                                 " values beside the optimum, not " + std::to_string(fx.size()));
    }
    return values[k];
  };
  for (const Stencil& s : {kCentral, kForward, kBackward}) {
    const int lowest = *std::min_element(s.offsets, s.offsets + s.points);
    const int highest = *std::max_element(s.offsets, s.offsets + s.points);
    if (!(h > 0) || x[j] + lowest * h < lower || x[j] + highest * h > upper) continue;
    std::vector<double> sum(fx.size(), 0.0);
    bool failed = false;
    for (int p = 0; p < s.points && !failed; ++p) {
      const std::optional<std::vector<double>>& v = at(s.offsets[p]);
      failed = !v;
      for (std::size_t i = 0; i < sum.size() && !failed; ++i) sum[i] += s.weights[p] * (*v)[i];
    }
    if (failed) continue;
    for (double& d : sum) d /= 2 * h;
    c.derivatives = std::move(sum);
    c.formed = true;
    return c;
  }
  c.derivatives.assign(fx.size(), std::numeric_limits<double>::quiet_NaN());
  return c;
}

}  // namespace

BoundedJacobian JacobianWithinBounds(const VectorFunction& f, const std::vector<double>& x,
                                     const std::vector<double>& fx,
                                     const std::vector<double>& lower,
                                     const std::vector<double>& upper, double relativeStep,
                                     std::size_t threads) {
  std::vector<Column> columns(x.size());
  tasks::ParallelFor(x.size(), threads, [&](std::size_t j) {
    columns[j] = ColumnOf(f, x, fx, lower[j], upper[j], j, relativeStep);
  });
  BoundedJacobian jacobian;
  for (std::size_t j = 0; j < columns.size(); ++j) {
    Column& c = columns[j];
    jacobian.evaluations += c.evaluations;
    jacobian.failures += c.failures;
    if (!c.formed)
      jacobian.notes.push_back(
          "the derivatives by parameter " + std::to_string(j + 1) +
          " could not be formed: the model could not be run at the steps beside it");
    jacobian.columns.push_back(std::move(c.derivatives));
  }
  return jacobian;
}

}  // namespace kvsorv::calibration
