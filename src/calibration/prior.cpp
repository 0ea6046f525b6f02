#include "calibration/prior.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <type_traits>

namespace kvsorv::calibration {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

double LogNormalDensity(double z, double sd) {
  return -0.5 * z * z - std::log(sd) - 0.5 * std::log(2 * std::numbers::pi);
}

// The normal's probability below z standard deviations.
double Below(double z) {
  return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

}  // namespace

double LogPriorDensity(const ensemble::Distribution& d, double x) {
  using namespace ensemble;
  if (!std::isfinite(x)) return kNone;
  return std::visit(
      [x](const auto& p) -> double {
        using T = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<T, Uniform>) {
          return x >= p.min && x <= p.max ? -std::log(p.max - p.min) : kNone;
        } else if constexpr (std::is_same_v<T, Normal>) {
          return LogNormalDensity((x - p.mean) / p.sd, p.sd);
        } else if constexpr (std::is_same_v<T, LogNormal>) {
          if (!(x > 0)) return kNone;
          return LogNormalDensity((std::log(x) - p.meanlog) / p.sdlog, p.sdlog) - std::log(x);
        } else if constexpr (std::is_same_v<T, Triangular>) {
          if (x < p.min || x > p.max) return kNone;
          const double width = p.max - p.min;
          const double h = x < p.mode   ? (x - p.min) / (p.mode - p.min)
                           : x > p.mode ? (p.max - x) / (p.max - p.mode)
                                        : 1.0;
          return h > 0 ? std::log(2 * h / width) : kNone;
        } else if constexpr (std::is_same_v<T, TruncatedNormal>) {
          if (x < p.min || x > p.max) return kNone;
          const double mass = Below((p.max - p.mean) / p.sd) - Below((p.min - p.mean) / p.sd);
          return LogNormalDensity((x - p.mean) / p.sd, p.sd) - std::log(mass);
        } else {
          throw std::invalid_argument("a table of values has no density");
        }
      },
      d);
}

std::string PriorImpossibility(const ensemble::Distribution& d) {
  if (std::holds_alternative<ensemble::Table>(d))
    return "a table of values cannot be a prior (it has no density); give a uniform, normal, "
           "lognormal, triangular or truncated-normal distribution";
  return "";
}

}  // namespace kvsorv::calibration
