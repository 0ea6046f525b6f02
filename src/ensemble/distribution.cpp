#include "ensemble/distribution.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <exception>
#include <limits>

namespace kvsorv::ensemble {

namespace {

double StandardNormalQuantile(double u) {
  return boost::math::quantile(boost::math::normal_distribution<double>(), u);
}
double StandardNormalCdf(double x) {
  return boost::math::cdf(boost::math::normal_distribution<double>(), x);
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

}  // namespace

Table Table::Of(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return Table{std::move(values)};
}

namespace {

std::string ArgumentImpossibility(const Distribution& d) {
  const auto finite = [](std::initializer_list<double> xs) {
    return std::all_of(xs.begin(), xs.end(), [](double x) { return std::isfinite(x); });
  };
  return std::visit(
      Overloaded{
          [&](const Uniform& u) -> std::string {
            if (!finite({u.min, u.max})) return "min and max must be finite numbers";
            return u.min < u.max ? "" : "min must be less than max";
          },
          [&](const Normal& n) -> std::string {
            if (!finite({n.mean, n.sd})) return "mean and sd must be finite numbers";
            return n.sd > 0 ? "" : "sd must be greater than 0";
          },
          [&](const LogNormal& l) -> std::string {
            if (!finite({l.meanlog, l.sdlog})) return "meanlog and sdlog must be finite numbers";
            return l.sdlog > 0 ? "" : "sdlog must be greater than 0";
          },
          [&](const Triangular& t) -> std::string {
            if (!finite({t.min, t.mode, t.max})) return "min, mode and max must be finite numbers";
            if (!(t.min < t.max)) return "min must be less than max";
            return t.min <= t.mode && t.mode <= t.max ? "" : "mode must lie between min and max";
          },
          [&](const TruncatedNormal& t) -> std::string {
            if (!finite({t.mean, t.sd, t.min, t.max}))
              return "mean, sd, min and max must be finite numbers";
            if (!(t.sd > 0)) return "sd must be greater than 0";
            if (!(t.min < t.max)) return "min must be less than max";
            const double mass = StandardNormalCdf((t.max - t.mean) / t.sd) -
                                StandardNormalCdf((t.min - t.mean) / t.sd);
            return mass > 1e-12 ? "" : "[min, max] holds no probability of the normal";
          },
          [&](const Table& t) -> std::string {
            if (t.values.empty()) return "the table has no values";
            for (const double x : t.values)
              if (!std::isfinite(x)) return "every value of the table must be a finite number";
            return "";
          },
      },
      d);
}

}  // namespace

std::string Impossibility(const Distribution& d) {
  if (std::string why = ArgumentImpossibility(d); !why.empty()) return why;
  // Finite arguments may still give draws beyond the largest double (a uniform over nearly
  // the whole range, a lognormal of a large meanlog): the designs draw from the whole of
  // [kLowestProbability, 1 - kLowestProbability].
  for (const double u : {kLowestProbability, 0.5, 1 - kLowestProbability}) {
    double x = 0;
    try {
      x = Quantile(d, u);
    } catch (const std::exception&) {
      x = std::numeric_limits<double>::infinity();
    }
    if (!std::isfinite(x)) return "its draws are not all finite numbers";
  }
  return "";
}

namespace {

// sqrt(a b c), also where the product alone would exceed the largest double (a triangle near
// it): the root of each factor then, the product's own root otherwise (the same bits as ever).
double SqrtOfProduct(double a, double b, double c) {
  const double product = a * b * c;
  return std::isfinite(product) ? std::sqrt(product) : std::sqrt(a) * std::sqrt(b) * std::sqrt(c);
}

}  // namespace

double Quantile(const Distribution& d, double u) {
  return std::visit(
      Overloaded{
          [&](const Uniform& x) { return x.min + u * (x.max - x.min); },
          [&](const Normal& x) { return x.mean + x.sd * StandardNormalQuantile(u); },
          [&](const LogNormal& x) {
            return std::exp(x.meanlog + x.sdlog * StandardNormalQuantile(u));
          },
          [&](const Triangular& x) {
            const double width = x.max - x.min;
            const double f = (x.mode - x.min) / width;
            return u < f ? x.min + SqrtOfProduct(u, width, x.mode - x.min)
                         : x.max - SqrtOfProduct(1 - u, width, x.max - x.mode);
          },
          [&](const TruncatedNormal& x) {
            const double lo = StandardNormalCdf((x.min - x.mean) / x.sd);
            const double hi = StandardNormalCdf((x.max - x.mean) / x.sd);
            const double v = x.mean + x.sd * StandardNormalQuantile(lo + u * (hi - lo));
            return std::clamp(v, x.min, x.max);
          },
          [&](const Table& x) {
            const auto n = x.values.size();
            const auto k = std::min(n - 1, static_cast<std::size_t>(u * static_cast<double>(n)));
            return x.values[k];
          },
      },
      d);
}

double Median(const Distribution& d) {
  return Quantile(d, 0.5);
}

}  // namespace kvsorv::ensemble
