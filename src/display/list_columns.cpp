#include "display/list_columns.h"

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
