#include "files/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "model/errors.h"

namespace kvsorv {

namespace {

// The digits and decimal exponent of a positive finite value rounded to `digits`
// significant digits (1..17): value ~ d.ddd x 10^exponent.
struct Rounded {
  std::array<char, 17> digit{};
  int count = 0;
  int exponent = 0;
};

Rounded RoundToDigits(double positive, int digits) {
  // "d.<digits-1>e-XXX" needs at most 1 + 1 + 16 + 5 characters.
  std::array<char, 32> buf{};
  const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), positive,
                                       std::chars_format::scientific, digits - 1);
  Rounded r;
  const char* p = buf.data();
  if (ec != std::errc()) return r;  // cannot happen with this buffer size
  for (; p != end && *p != 'e'; ++p)
    if (*p != '.') r.digit[static_cast<std::size_t>(r.count++)] = *p;
  // p is at 'e': sign, then the exponent digits.
  const bool negative = p + 1 != end && p[1] == '-';
  int exponent = 0;
  for (p += 2; p < end; ++p) exponent = exponent * 10 + (*p - '0');
  r.exponent = negative ? -exponent : exponent;
  return r;
}

// Writes the exponent's sign and its magnitude in at least `minDigits` (at most 4) digits.
// A double's decimal exponent lies within -324..308, so four digits always suffice.
char* AppendExponent(char* out, int exponent, int minDigits) {
  *out++ = exponent < 0 ? '-' : '+';
  const int magnitude = std::min(exponent < 0 ? -exponent : exponent, 9999);
  const int width = std::max({std::min(minDigits, 4), magnitude >= 1000 ? 4 : 0,
                              magnitude >= 100 ? 3 : 0, magnitude >= 10 ? 2 : 1});
  for (int place = width - 1, rest = magnitude; place >= 0; --place, rest /= 10)
    out[place] = static_cast<char>('0' + rest % 10);
  return out + width;
}

const char* NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// Powers of ten 10^p for p in [-kPowerRange, kPowerRange], each the double nearest the exact
// value (from_chars rounds correctly).
constexpr int kPowerRange = 300;

const std::array<double, 2 * kPowerRange + 1>& PowersOfTen() {
  static const auto table = [] {
    std::array<double, 2 * kPowerRange + 1> t{};
    for (int p = -kPowerRange; p <= kPowerRange; ++p) {
      char text[8] = {'1', 'e'};
      const auto end = std::to_chars(text + 2, text + sizeof text, p).ptr;
      std::from_chars(text, end, t[static_cast<std::size_t>(p + kPowerRange)]);
    }
    return t;
  }();
  return table;
}

// Fast exact rounding of a positive value to 13 significant digits, for the bulk of the
// output file. y = a x 10^(12-k) is formed with two correctly rounded operations, so it is
// within 2.3e-16 relative (under 0.003 absolute, as y stays near or below 1e13) of the
// exact product. Unless its
// fraction lies within 0.01 of one half, rounding y therefore rounds the exact value the
// same way. Returns false when it cannot decide (near a tie, or a magnitude outside
// [1e-280, 1e280]); the caller then uses the exact conversion.
bool RoundTo13Fast(double a, std::uint64_t& mantissa, int& exponent) {
  if (!(a >= 1e-280 && a <= 1e280)) return false;
  const auto& powers = PowersOfTen();
  const auto power = [&](int p) { return powers[static_cast<std::size_t>(p + kPowerRange)]; };
  // a lies in [2^(e-1), 2^e); floor((e-1) log10 2) by the usual fixed-point product is
  // floor(log10 a) or one less, and one comparison settles which.
  const int e = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7ff) - 1022;
  int k = ((e - 1) * 78913) >> 18;
  k += a >= power(k + 1) ? 1 : 0;
  const double y = a * power(12 - k);
  if (!(y < 9.2e18)) return false;
  std::uint64_t n = static_cast<std::uint64_t>(y);     // truncation: y is positive
  const double fraction = y - static_cast<double>(n);  // exact: y and n are close
  if (std::fabs(fraction - 0.5) < 0.01) return false;
  n += fraction > 0.5 ? 1 : 0;
  if (n == 10'000'000'000'000ULL) {  // rounded up to the next power of ten
    n = 1'000'000'000'000ULL;
    ++k;
  }
  if (n < 1'000'000'000'000ULL || n >= 10'000'000'000'000ULL) return false;
  mantissa = n;
  exponent = k;
  return true;
}

// Pairs of decimal digits "00".."99" for writing integers two digits at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> t{};
  for (int i = 0; i < 100; ++i) {
    t[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    t[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return t;
}();

// Writes the 2 x `pairs` low digits of n, most significant first.
void WriteDigitPairs(char* out, std::uint32_t n, int pairs) {
  for (int i = pairs - 1; i >= 0; --i) {
    std::memcpy(out + 2 * i, kDigitPairs.data() + 2 * (n % 100), 2);
    n /= 100;
  }
}

// Writes the 13 digits of n (1e12 <= n < 1e13) as "d.dddddddddddd".
char* AppendMantissa13(char* out, std::uint64_t n) {
  const auto high = static_cast<std::uint32_t>(n / 100'000'000);  // 5 digits
  const auto low = static_cast<std::uint32_t>(n % 100'000'000);   // 8 digits
  out[0] = static_cast<char>('0' + high / 10000);
  out[1] = '.';
  WriteDigitPairs(out + 2, high % 10000, 2);
  WriteDigitPairs(out + 6, low, 4);
  return out + 14;
}

std::string Pad(std::string text, std::size_t width, bool left) {
  if (text.size() >= width) return text;
  const std::string blanks(width - text.size(), ' ');
  return left ? text + blanks : blanks + text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string FormatParamNumber(double value) {
  if (!std::isfinite(value)) {
    std::string text = NonFiniteText(value);
    if (text[0] != '-') text.insert(0, 1, ' ');
    return Pad(std::move(text), 23, true);
  }
  std::string text(23, ' ');
  char* out = text.data();
  *out++ = value < 0 ? '-' : ' ';
  if (value == 0) {
    std::memcpy(out, "0.00000000000000E+0000", 22);
    return text;
  }
  const Rounded r = RoundToDigits(std::fabs(value), 15);
  *out++ = r.digit[0];
  *out++ = '.';
  std::memcpy(out, r.digit.data() + 1, 14);
  out += 14;
  *out++ = 'E';
  AppendExponent(out, r.exponent, 4);
  return text;
}

char* AppendScientific13(char* out, double value) {
  if (!std::isfinite(value)) {
    const char* text = NonFiniteText(value);
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
  }
  if (value == 0) {  // both zeros
    std::memcpy(out, "0.000000000000E+000", 19);
    return out + 19;
  }
  if (value < 0) *out++ = '-';
  const double magnitude = std::fabs(value);
  std::uint64_t mantissa = 0;
  int exponent = 0;
  if (RoundTo13Fast(magnitude, mantissa, exponent)) {
    out = AppendMantissa13(out, mantissa);
  } else {
    const Rounded r = RoundToDigits(magnitude, 13);
    *out++ = r.digit[0];
    *out++ = '.';
    std::memcpy(out, r.digit.data() + 1, 12);
    out += 12;
    exponent = r.exponent;
  }
  out[0] = 'E';
  out[1] = exponent < 0 ? '-' : '+';
  const auto digits = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
  out[2] = static_cast<char>('0' + digits / 100);  // |exponent| <= 324
  WriteDigitPairs(out + 3, digits % 100, 1);
  return out + 5;
}

std::string FormatScientific13Left(double value) {
  char buf[kScientific13MaxLength];
  return Pad(std::string(buf, AppendScientific13(buf, value)), 20, true);
}

std::string FormatScientific13Right(double value) {
  char buf[kScientific13MaxLength];
  return Pad(std::string(buf, AppendScientific13(buf, value)), 20, false);
}

std::string FormatGeneral(double value, int significantDigits,
                          const GeneralFormatOptions& options) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0) return "0";
  const int precision = std::clamp(significantDigits, 1, 17);
  Rounded r = RoundToDigits(std::fabs(value), precision);
  while (r.count > 1 && r.digit[static_cast<std::size_t>(r.count - 1)] == '0') --r.count;
  const std::string_view digits(r.digit.data(), static_cast<std::size_t>(r.count));

  std::string text = value < 0 ? "-" : "";
  if (r.exponent >= -5 && r.exponent < precision) {
    if (r.exponent < 0) {
      text += '0';
      text += options.decimalSeparator;
      text.append(static_cast<std::size_t>(-r.exponent - 1), '0');
      text += digits;
    } else {
      const auto wholeDigits = static_cast<std::size_t>(r.exponent) + 1;
      if (digits.size() <= wholeDigits) {
        text += digits;
        text.append(wholeDigits - digits.size(), '0');
      } else {
        text += digits.substr(0, wholeDigits);
        text += options.decimalSeparator;
        text += digits.substr(wholeDigits);
      }
    }
    return text;
  }
  text += digits[0];
  if (digits.size() > 1) {
    text += options.decimalSeparator;
    text += digits.substr(1);
  }
  text += 'E';
  char exponent[8];
  text.append(exponent,
              AppendExponent(exponent, r.exponent, std::clamp(options.minExponentDigits, 1, 4)));
  return text;
}

std::string FormatOutputTime(double value) {
  return Pad(FormatGeneral(value, 15), 20, false);
}

std::string FormatForEditing(double value) {
  if (!std::isfinite(value)) return FormatGeneral(value, 15);
  for (int digits = 15; digits < 17; ++digits) {
    std::string text = FormatGeneral(value, digits);
    const std::optional<double> back = ParseDecimal(text);
    if (back && *back == value) return text;
  }
  return FormatGeneral(value, 17);
}

std::string LeftField(std::string_view text, std::size_t width) {
  return Pad(std::string(text.substr(0, width)), width, true);
}

std::string RightField(std::string_view text, std::size_t width) {
  return Pad(std::string(text.substr(0, width)), width, false);
}

std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t numberStart = i;

  // Decimal exponent of the first non-zero digit, relative to the point, for telling
  // underflow from overflow when the conversion reports a value out of range.
  std::optional<long> leadingExponent;
  const std::size_t wholeStart = i;
  while (i < n && IsDigit(text[i])) ++i;
  const auto wholeCount = static_cast<long>(i - wholeStart);
  for (long j = 0; j < wholeCount && !leadingExponent; ++j)
    if (text[wholeStart + static_cast<std::size_t>(j)] != '0') leadingExponent = wholeCount - 1 - j;
  std::size_t digitCount = i - wholeStart;
  std::optional<std::size_t> separatorAt;
  if (i < n && text[i] == decimalSeparator) {
    separatorAt = i++;
    for (long place = -1; i < n && IsDigit(text[i]); ++i, ++digitCount, --place)
      if (!leadingExponent && text[i] != '0') leadingExponent = place;
  }
  if (digitCount == 0) return std::nullopt;
  long exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    const std::size_t exponentStart = i;
    for (; i < n && IsDigit(text[i]); ++i)
      exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L);
    if (i == exponentStart) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != n) return std::nullopt;

  // from_chars reads a point only: give it a copy with the point in place of another
  // separator.
  std::string withPoint;
  std::string_view number = text.substr(numberStart);
  if (separatorAt && decimalSeparator != '.') {
    withPoint.assign(number);
    withPoint[*separatorAt - numberStart] = '.';
    number = withPoint;
  }
  double magnitude = 0;
  const char* first = number.data();
  const char* last = number.data() + number.size();
  const auto [end, ec] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (leadingExponent && *leadingExponent + exponent >= 0) return std::nullopt;  // overflow
    return negative ? -0.0 : 0.0;                                                  // underflow
  }
  if (ec != std::errc() || end != last) return std::nullopt;
  return negative ? -magnitude : magnitude;
}

double StrToFloat(std::string_view text, char decimalSeparator) {
  std::string_view trimmed = text;
  while (!trimmed.empty() && static_cast<unsigned char>(trimmed.front()) <= 32)
    trimmed.remove_prefix(1);
  while (!trimmed.empty() && static_cast<unsigned char>(trimmed.back()) <= 32)
    trimmed.remove_suffix(1);
  if (const std::optional<double> value = ParseDecimal(trimmed, decimalSeparator)) return *value;
  throw EConvertError(std::string(text));
}

}  // namespace kvsorv
