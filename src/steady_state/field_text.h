#pragma once
// Numbers as the steady-state window shows and reads them: the window's settings of the
// general number forms in files/number_text.h.

#include <optional>
#include <string>
#include <string_view>

namespace kvsorv {

// Display text of a value: 6 significant digits; fixed notation when the rounded value has
// at most 6 digits before the decimal point and is at least 0.00001 in magnitude, otherwise
// scientific with a signed exponent of at least 4 digits ("1.5E+0007", "2E-0006"); trailing
// zeros dropped, a decimal separator only where needed. 0 shows as "0"; an infinity or NaN
// as "INF", "-INF" or "NAN".
std::string FormatFieldValue(double value, char decimalSeparator = '.');

// The number in an entry text: optional blanks (spaces and tabs), an optional sign, digits
// with at most one decimal separator, an optional exponent (e or E, optional sign, digits),
// optional blanks. nullopt when the text is anything else or beyond the double range; a
// value too small for a double becomes 0.
std::optional<double> ParseFieldNumber(std::string_view text, char decimalSeparator = '.');

// True when the text converts to a number greater than or equal to 0.
bool CheckValue(std::string_view text, char decimalSeparator = '.');

}  // namespace kvsorv
