#include "files/csv_number.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "files/number_text.h"

namespace kvsorv {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The text without its sign.
std::string_view Unsigned(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return text;
}

// A decimal number too large for a double: its mantissa reads, and its exponent is digits.
bool Overflows(std::string_view text) {
  const std::size_t e = text.find_first_of("eE");
  if (e == std::string_view::npos || !ParseDecimal(text.substr(0, e))) return false;
  const std::string_view exponent = Unsigned(text.substr(e + 1));
  return !exponent.empty() &&
         std::all_of(exponent.begin(), exponent.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A mantissa with a digit other than 0: a number that reads as 0 lost all of it.
bool HasNonZeroMantissa(std::string_view text) {
  const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
  return mantissa.find_first_of("123456789") != std::string_view::npos;
}

}  // namespace

CsvNumber ReadCsvNumber(std::string_view cell) {
  const std::string quoted = "'" + std::string(cell) + "'";
  using enum CsvNumberFault;
  if (cell.empty()) return {0.0, kNoNumber, "'' is not a number (the cell is empty)"};
  if (const std::optional<double> x = ParseDecimal(cell)) {
    if (*x == 0 && HasNonZeroMantissa(cell))
      return {0.0, kUnderflow, quoted + " is too small for a double: it would read as 0"};
    return {*x, kNone, ""};
  }
  const std::string word = Lower(Unsigned(cell));
  if (word == "inf" || word == "infinity" || word.rfind("nan", 0) == 0 || Overflows(cell))
    return {0.0, kNotFinite, quoted + " is not a finite number"};
  if (word.rfind("0x", 0) == 0) return {0.0, kNotDecimal, quoted + " is not a decimal number"};
  return {0.0, kNoNumber, quoted + " is not a number"};
}

}  // namespace kvsorv
