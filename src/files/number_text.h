#pragma once
// Every number form the files and windows use, written and read the same way whatever the
// system locale: the decimal separator is a point unless a caller names another one. Built
// on std::to_chars and std::from_chars, which never consult the locale.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kvsorv {

// ---- Writing ----

// Parameter-file number field, exactly 23 characters: a space or "-", one digit, a point,
// fourteen digits, "E", the exponent's sign and four exponent digits; 15 significant digits
// rounded to nearest. 0.5 gives " 5.00000000000000E-0001", zero " 0.00000000000000E+0000".
// An infinity or NaN gives " INF", "-INF" or " NAN" padded to 23 (the file writers refuse
// them before they get here).
std::string FormatParamNumber(double value);

// Longest text AppendScientific13 writes: "-1.234567890123E-308".
inline constexpr std::size_t kScientific13MaxLength = 20;

// Writes value as scientific notation with 13 significant digits, rounded to nearest: one
// digit, a point, twelve digits, "E", sign, three exponent digits (1600 gives
// "1.600000000000E+003"). No padding. Returns the end of the text written; `out` must have
// room for kScientific13MaxLength characters. Non-finite values give "INF", "-INF", "NAN".
char* AppendScientific13(char* out, double value);

// "%-20.13e" and "%20.13e" with a capital E and three exponent digits: the scientific text
// above, left- or right-justified in 20 characters.
std::string FormatScientific13Left(double value);
std::string FormatScientific13Right(double value);

// How the general format writes its scientific exponent and its decimal separator.
struct GeneralFormatOptions {
  int minExponentDigits = 2;    // 1..4; wider exponents keep all their digits
  char decimalSeparator = '.';  // the windows pass the system's separator
};

// General format with up to `significantDigits` (1..17) significant digits, rounded to
// nearest: fixed notation when the rounded value is 0, or when its magnitude is at least
// 0.00001 and it has at most `significantDigits` digits before the point; scientific
// notation otherwise. Trailing zeros of the fraction and a needless separator are left out.
// The scientific form is the mantissa, "E", the exponent's sign and at least
// `minExponentDigits` exponent digits (by default 1.5E+20, 1E-06; with 4, 1.5E+0007).
// Both zeros give "0". Non-finite values give "INF", "-INF", "NAN". With 4 digits this is
// the output table's "%.4g"; with 5 and 6 the windows' forms.
std::string FormatGeneral(double value, int significantDigits,
                          const GeneralFormatOptions& options = {});

// "%20g" for output times: the general format with up to 15 significant digits,
// right-justified in 20 characters (longer texts are not cut).
std::string FormatOutputTime(double value);

// The text offered for editing a value: the general format with 15 significant digits when
// that parses back to exactly the same number, otherwise with 16, otherwise with 17 (which
// always does). So 0.5 gives "0.5" and 0.1 + 0.2 gives "0.30000000000000004".
std::string FormatForEditing(double value);

// "%-W.Ws" and "%W.Ws": the text cut to its first `width` characters and left- or
// right-justified with spaces in `width` characters.
std::string LeftField(std::string_view text, std::size_t width);
std::string RightField(std::string_view text, std::size_t width);

// ---- Reading ----

// Longest number token the file readers accept.
inline constexpr std::size_t kMaxNumberTokenLength = 64;

// Converts a decimal number: optional sign, digits with at most one `decimalSeparator`
// (at least one digit in all), optional exponent ("e" or "E", optional sign, digits).
// Nothing else: no blanks, "inf", "nan" or hexadecimal forms, and no point when the
// separator is another character. The separator must not be a digit, a sign, "e" or "E".
// A magnitude beyond the double range is not a number; one too small for a double gives 0
// with the number's sign (underflow is silent).
std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator = '.');

// The strict conversion of a value the user typed: blanks (characters with codes up to 32)
// around the number are allowed, nothing else; the number as ParseDecimal reads it. Raises
// EConvertError("'text' is not a valid floating point value") for anything that is not a
// number.
double StrToFloat(std::string_view text, char decimalSeparator = '.');

}  // namespace kvsorv
