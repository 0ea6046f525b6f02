#pragma once
// The times at which a run writes its output lines, known before it runs.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "run/model_run.h"

namespace kvsorv::ensemble {

// The end times of the output lines of a run (year), by the run's own clock arithmetic: the
// start, then every round(outputStep / step) steps of those beginning at kFirstOutputYear or
// later. `t` must have step > 0 and outputStep >= step.
std::vector<double> OutputTimes(const RunTimes& t);

// The position among `lines` (rising output times) of the line a time stands for: the one
// within half an output step of it, the nearer of two (the earlier when they are as near);
// nullopt when there is none.
std::optional<std::size_t> LineAt(const std::vector<double>& lines, double t, double outputStep);

// The output times either side of t, as a message names them: "1590 and 1601".
std::string NearestLinesText(const std::vector<double>& lines, double t);

}  // namespace kvsorv::ensemble
