#include "analysis/cell_text.h"

#include <cmath>
#include <cstdio>

namespace kvsorv::analysis {

std::string CellText(double x) {
  if (!std::isfinite(x)) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", x);
  return text;
}

}  // namespace kvsorv::analysis
