#pragma once
// The fit of a calibration plan: the calibrated parameters (an estimated error scale is left
// at 1) within their priors' bounds, from the plan's starts, by least squares with the
// observations' errors and the log prior.

#include "calibration/calibration_model.h"
#include "calibration/least_squares_fit.h"

namespace kvsorv::calibration {

// The bounds of a prior for the optimiser: its support, or the quantiles 1e-9 and 1 - 1e-9
// of an unbounded one.
std::pair<double, double> FitBounds(const ensemble::Distribution& prior);

// Failures: those of FitLeastSquares.
FitResult FitPlan(const CalibrationModel& model, std::size_t threads);

}  // namespace kvsorv::calibration
