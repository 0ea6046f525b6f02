#include "calibration/field_text.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace kvsorv {

namespace {

constexpr int kSignificantDigits = 6;
constexpr int kExponentDigits = 4;

// Drops trailing zeros after a decimal point, and the point itself when nothing follows it.
void DropTrailingZeros(std::string& digits) {
  if (digits.find('.') == std::string::npos) return;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (!digits.empty() && digits.back() == '.') digits.pop_back();
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string FormatFieldValue(double value, char decimalSeparator) {
  if (value == 0.0) return "0";
  // Rounding to the significant digits first decides the notation.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, value);
  const std::string scientific = buffer;
  const std::size_t e = scientific.find('e');
  const int exponent = std::atoi(scientific.c_str() + e + 1);

  std::string text;
  if (exponent >= -5 && exponent < kSignificantDigits) {
    std::snprintf(buffer, sizeof buffer, "%.*f", kSignificantDigits - 1 - exponent, value);
    text = buffer;
    DropTrailingZeros(text);
  } else {
    text = scientific.substr(0, e);
    DropTrailingZeros(text);
    std::snprintf(buffer, sizeof buffer, "E%c%0*d", exponent < 0 ? '-' : '+', kExponentDigits,
                  exponent < 0 ? -exponent : exponent);
    text += buffer;
  }
  for (char& c : text)
    if (c == '.') c = decimalSeparator;
  return text;
}

std::optional<double> ParseFieldNumber(std::string_view text, char decimalSeparator) {
  std::size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;

  // Rebuild the number in the form the conversion reads: no '+', a point as separator.
  std::string number;
  std::size_t i = first;
  bool negative = false;
  if (i < last && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    if (negative) number += '-';
    ++i;
  }
  int mantissaDigits = 0, integerDigits = 0, leadingFractionZeros = 0;
  bool inFraction = false, significantSeen = false;
  for (; i < last; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++mantissaDigits;
      if (c != '0') significantSeen = true;
      if (!inFraction && significantSeen) ++integerDigits;
      if (inFraction && !significantSeen) ++leadingFractionZeros;
      number += c;
    } else if (c == decimalSeparator && !inFraction) {
      inFraction = true;
      number += '.';
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  long exponent = 0;
  if (i < last && (text[i] == 'e' || text[i] == 'E')) {
    number += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < last && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      if (negativeExponent) number += '-';
      ++i;
    }
    int exponentDigits = 0;
    for (; i < last && IsDigit(text[i]); ++i, ++exponentDigits) {
      number += text[i];
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (exponentDigits == 0) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != last) return std::nullopt;

  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (end != number.data() + number.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Out of range below (the decimal point sits left of the first significant digit) is
    // an underflow, which gives 0; above it is not a number the window can hold.
    const long magnitude = (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
    if (magnitude < 0 || !significantSeen) return negative ? -0.0 : 0.0;
    return std::nullopt;
  }
  if (ec != std::errc()) return std::nullopt;
  return value;
}

bool CheckValue(std::string_view text, char decimalSeparator) {
  const std::optional<double> value = ParseFieldNumber(text, decimalSeparator);
  return value.has_value() && *value >= 0.0;
}

}  // namespace kvsorv
