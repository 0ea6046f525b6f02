#pragma once
// Observations to calibrate against, from a CSV file with a header line naming its columns:
// "time", "output" (a symbol of a state, process or driver), "value", and the error as "sd"
// (a standard deviation in the output's units) or "relative_error" (a fraction of the value),
// and optionally "cell" (the cell's number, for a plan of several cells). Where both error
// columns are present, each row fills one of them. Lines starting with '#' are comments.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/catalogue.h"

namespace kvsorv::calibration {

// A file of observations that cannot be used: the message names the file and the line.
class EObservationError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ObservationRow {
  int line = 0;  // in the file, from 1
  double time = 0;
  std::string symbol;
  OutputKind kind = OutputKind::kState;
  int index = 0;  // in the catalogue's table of its kind
  double value = 0;
  std::optional<double> sd;             // > 0
  std::optional<double> relativeError;  // > 0
  std::optional<int> cell;              // the cell's number
};

// Failures: EObservationError naming the file and the line for a file that cannot be read or
// is no CSV, a missing column, an unknown symbol, a number that is not finite, an error of zero
// or less, a row with no error or with both, a row of too few or too many cells.
std::vector<ObservationRow> ReadObservationTable(const std::string& fileName);

}  // namespace kvsorv::calibration
