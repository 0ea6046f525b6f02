#pragma once
// The driver series of a cell, read from its driver file and the base driver file beside it.

#include <string>

#include "run/model_run.h"

namespace kvsorv {

// The driver series of a cell's driver file and of the base driver file beside it, read into
// `in` with the cell number the file's name gives. Failures: those of ReadDriverSeries and
// GetNextDriverFilename.
void ReadCellDrivers(RunInputs& in, const std::string& driverFileName);

}  // namespace kvsorv
