#pragma once
// How many columns a series list shows for its width: a := width / 150; trunc(a) when
// a / trunc(a) <= threshold, else a rounded to the nearest whole number (halves to even).
// A list narrower than 150 pixels shows one column.

namespace kvsorv {

inline constexpr double kDisplayListThreshold = 1.2;  // the display's own list
inline constexpr double kDialogListThreshold = 1.1;   // the series dialog's list

int ListColumnCount(int widthPixels, double threshold);

}  // namespace kvsorv

namespace kvsorv {

// The narrowest list width from `smallestWidth` up to `largestWidth` whose columns (the
// width less `margins`, shared by ListColumnCount columns) are at least `itemWidth` wide; where
// no width in that range has such columns, the one with the widest.
int ListWidthFitting(int itemWidth, int smallestWidth, int largestWidth, int margins,
                     double threshold);

}  // namespace kvsorv
