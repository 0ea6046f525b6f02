#pragma once
// Observations to lay over an ensemble's envelope, from a CSV file: a header line
// "time,<SYM>[,...]", then a row per observation time. The values are the column named like
// the output, or the second column when the file has just two. An empty value cell is a time
// without an observation of that output.

#include <string>
#include <vector>

namespace kvsorv {

// Observed values to lay over an envelope.
struct ObservedPoints {
  std::string legend;  // e.g. "observed"
  std::vector<double> times;
  std::vector<double> values;
  // Where given, each value's error bar: from low to high (as many as `values`).
  std::vector<double> low{}, high{};
};

// Failures: std::runtime_error naming the file (and the line) when it cannot be read, has
// no "time" column first, no column for `output` (listing those it has), or a line whose
// cells are not as many as the header's, or whose time or value is not a finite number.
ObservedPoints ReadObservations(const std::string& fileName, const std::string& output);

}  // namespace kvsorv
