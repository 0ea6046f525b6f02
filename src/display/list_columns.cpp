#include "display/list_columns.h"

#include <algorithm>
#include <cmath>

namespace kvsorv {

int ListColumnCount(int widthPixels, double threshold) {
  const double a = widthPixels / 150.0;
  const double whole = std::trunc(a);
  if (whole < 1.0) return 1;
  if (a / whole <= threshold) return static_cast<int>(whole);
  return static_cast<int>(std::nearbyint(a));  // the default rounding mode: halves to even
}

}  // namespace kvsorv

namespace kvsorv {

int ListWidthFitting(int itemWidth, int smallestWidth, int largestWidth, int margins,
                     double threshold) {
  int best = smallestWidth;
  int widestColumn = 0;
  for (int w = smallestWidth; w <= std::max(smallestWidth, largestWidth); ++w) {
    const int column = (w - margins) / ListColumnCount(w, threshold);
    if (column >= itemWidth) return w;
    if (column > widestColumn) {
      widestColumn = column;
      best = w;
    }
  }
  return best;
}

}  // namespace kvsorv
