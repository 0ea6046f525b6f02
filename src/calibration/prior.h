#pragma once
// The prior density of a calibrated parameter: one of the distributions an ensemble plan
// varies a parameter by, now read as a density.

#include "ensemble/distribution.h"

namespace kvsorv::calibration {

// The natural logarithm of the density at x, up to no constant (normalised), or -infinity
// outside the support. A table of values has no density: std::invalid_argument.
double LogPriorDensity(const ensemble::Distribution& d, double x);

// Whether a distribution can be a prior (a table of values cannot), and why not.
std::string PriorImpossibility(const ensemble::Distribution& d);

}  // namespace kvsorv::calibration
