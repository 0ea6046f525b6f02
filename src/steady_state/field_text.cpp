#include "steady_state/field_text.h"

#include "files/number_text.h"

namespace kvsorv {

namespace {

constexpr int kSignificantDigits = 6;
constexpr int kExponentDigits = 4;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string FormatFieldValue(double value, char decimalSeparator) {
  return FormatGeneral(
      value, kSignificantDigits,
      {.minExponentDigits = kExponentDigits, .decimalSeparator = decimalSeparator});
}

std::optional<double> ParseFieldNumber(std::string_view text, char decimalSeparator) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return ParseDecimal(text, decimalSeparator);
}

bool CheckValue(std::string_view text, char decimalSeparator) {
  const std::optional<double> value = ParseFieldNumber(text, decimalSeparator);
  return value.has_value() && *value >= 0.0;
}

}  // namespace kvsorv
