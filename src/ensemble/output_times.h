#pragma once
// The times at which a run writes its output lines, known before it runs.

#include <vector>

#include "run/model_run.h"

namespace kvsorv::ensemble {

// The end times of the output lines of a run (year), by the run's own clock arithmetic: the
// start, then every round(outputStep / step) steps of those beginning at kFirstOutputYear or
// later. `t` must have step > 0 and outputStep >= step.
std::vector<double> OutputTimes(const RunTimes& t);

}  // namespace kvsorv::ensemble
