#pragma once
// A number cell of a comma-separated data file (a chain of samples, a design): a decimal
// number as ParseDecimal reads it, finite, and not so small that it would read as 0. Other
// forms that a C library conversion would take ("0x50", "inf", "nan") are refused, so that a
// value is never read otherwise than it is written.

#include <string>
#include <string_view>

namespace kvsorv {

enum class CsvNumberFault {
  kNone,
  kNoNumber,    // an empty cell, a word, "80abc"
  kNotFinite,   // "inf", "nan", "1e999"
  kNotDecimal,  // "0x50", "0x1p3": a C library conversion would read it as a number
  kUnderflow,   // "1e-400": it would read as 0
};

struct CsvNumber {
  double value = 0.0;
  CsvNumberFault fault = CsvNumberFault::kNone;
  std::string problem;  // "" when the cell is such a number, else what it is, quoting it
};

// "'0x50' is not a decimal number", "'1e999' is not a finite number", ...
CsvNumber ReadCsvNumber(std::string_view cell);

}  // namespace kvsorv
