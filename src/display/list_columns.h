#pragma once
// How many columns a series list shows for its width: a := width / 150; trunc(a) when
// a / trunc(a) <= threshold, else a rounded to the nearest whole number (halves to even).
// A list narrower than 150 pixels shows one column.

namespace kvsorv {

inline constexpr double kDisplayListThreshold = 1.2;  // the display's own list
inline constexpr double kDialogListThreshold = 1.1;   // the series dialog's list

int ListColumnCount(int widthPixels, double threshold);

}  // namespace kvsorv
