#pragma once
// The scales of the output chart's two axes: linear or logarithmic, automatic or explicit
// range, and the tick increment. Every chart update returns both axes to their automatic
// scale: the independent axis spans the points' x values, the dependent axis gets the
// explicit range from min(0, smallest y) to the largest y, so it always includes zero.

#include "display/chart_data.h"

namespace kvsorv {

// The narrowest range an axis takes; a narrower explicit range is widened to it.
inline constexpr double kNarrowestAxisRange = 1e-10;

struct AxisRange {
  double minimum = 0.0;
  double maximum = 1.0;
  friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

struct AxisState {
  bool logarithmic = false;
  bool automatic = true;  // under the chart's automatic scaling (the independent axis only)
  AxisRange range;
  double increment = 0.0;  // tick spacing asked for; 0 lets the chart choose
};

// An explicit range as the axis takes it: the smaller bound first, at least 1e-10 wide (the
// minimum stays, the maximum moves up).
AxisRange ExplicitRange(double minimum, double maximum);

// The automatic ranges for the points drawn: the independent axis from the smallest to the
// largest x (0 to 1 without points), the dependent axis ExplicitRange(min(0, smallest y),
// largest y) (0 and 0 without points).
AxisRange IndependentAutoRange(const ChartExtent& extent);
AxisRange DependentAutoRange(const ChartExtent& extent);

// The range a logarithmic axis shows for `range`: a lower bound at or below zero (such as the
// dependent axis' automatic 0) becomes the power of ten at or below the smallest positive
// coordinate drawn on that axis (a tenth of the upper bound when none is drawn); a range
// wholly at or below zero shows 1 to 10.
AxisRange LogarithmicRange(const AxisRange& range, double smallestPositive);

// Whether a logarithmic axis over `range` labelled with `fixedDecimals` decimals tells its
// decades apart: false once the range holds a power of ten below 10^-fixedDecimals, which
// would read 0 (such an axis labels its decades in scientific notation instead).
bool FixedLabelsTellDecadesApart(const AxisRange& range, int fixedDecimals);

// The tick spacing a linear axis shows: the increment asked for when it gives at most 50
// ticks over the range, otherwise 1, 2 or 5 times a power of ten giving 4 to 10 ticks.
double TickIncrement(const AxisRange& range, double increment);

}  // namespace kvsorv
