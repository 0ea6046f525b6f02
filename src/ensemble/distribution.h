#pragma once
// The distributions a parameter of an ensemble may vary by, each given by its inverse
// cumulative distribution function, so that any design in the unit cube (Monte Carlo, Latin
// hypercube, Sobol, Morris) maps onto parameter values the same way.

#include <string>
#include <variant>
#include <vector>

namespace kvsorv::ensemble {

struct Uniform {
  double min, max;
};
struct Normal {
  double mean, sd;
};
// The logarithm of the value is normal.
struct LogNormal {
  double meanlog, sdlog;
};
struct Triangular {
  double min, mode, max;
};
// A normal distribution cut to [min, max].
struct TruncatedNormal {
  double mean, sd, min, max;
};
// Values drawn with equal weight, such as the samples of an MCMC chain; kept in ascending
// order (see Table::Of).
struct Table {
  std::vector<double> values;
  static Table Of(std::vector<double> values);
};

using Distribution = std::variant<Uniform, Normal, LogNormal, Triangular, TruncatedNormal, Table>;

// The smallest probability a design draws at; its draws lie in [this, 1 - this].
inline constexpr double kLowestProbability = 1e-12;

// Why the arguments describe no distribution ("sd must be greater than 0", "its draws are not
// all finite numbers"), or "" when they do.
std::string Impossibility(const Distribution& d);

// The value whose cumulative probability is u, for u in (0, 1). A table gives the value at
// position floor(u * n) of its values.
double Quantile(const Distribution& d, double u);

// The distribution's median: the value of a parameter held at its centre.
double Median(const Distribution& d);

}  // namespace kvsorv::ensemble
