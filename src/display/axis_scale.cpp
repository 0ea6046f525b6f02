#include "display/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace kvsorv {

AxisRange ExplicitRange(double minimum, double maximum) {
  if (minimum > maximum) std::swap(minimum, maximum);
  if (maximum - minimum < kNarrowestAxisRange) maximum = minimum + kNarrowestAxisRange;
  return {minimum, maximum};
}

AxisRange IndependentAutoRange(const ChartExtent& extent) {
  if (extent.empty) return {0.0, 1.0};
  return ExplicitRange(extent.minX, extent.maxX);
}

AxisRange DependentAutoRange(const ChartExtent& extent) {
  return ExplicitRange(std::min(0.0, extent.minY), extent.maxY);
}

AxisRange LogarithmicRange(const AxisRange& range, double smallestPositive) {
  if (range.maximum <= 0.0) return {1.0, 10.0};
  AxisRange shown = range;
  if (shown.minimum <= 0.0) {
    shown.minimum = smallestPositive > 0.0 && smallestPositive < shown.maximum
                        ? std::pow(10.0, std::floor(std::log10(smallestPositive)))
                        : shown.maximum / 10.0;
  }
  return shown;
}

double TickIncrement(const AxisRange& range, double increment) {
  const double span = range.maximum - range.minimum;
  if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
  if (increment > 0.0 && span / increment <= 50.0) return increment;
  const double power = std::pow(10.0, std::floor(std::log10(span)));  // span / power in [1, 10)
  for (const double factor : {0.1, 0.2, 0.5})
    if (span / (factor * power) <= 10.0) return factor * power;
  return power;
}

bool FixedLabelsTellDecadesApart(const AxisRange& range, int fixedDecimals) {
  // The axis labels the powers of ten inside its range: the lowest one must be at least the
  // smallest step the fixed labels show.
  return std::min(range.minimum, range.maximum) > std::pow(10.0, -fixedDecimals - 1);
}

}  // namespace kvsorv
