#pragma once
// What the output chart draws: up to 10 point series against one independent column, as
// values, change relative to the first row, or change since the first row. The points carry
// the file's values at full precision (the table's 4-digit texts are for showing only).

#include <string>
#include <vector>

#include "display/output_table.h"

namespace kvsorv {

// The items of "Plot as", in order.
enum class ValueType { kActual, kRelative, kCumulative };

inline constexpr const char* kInvalidSeriesMessage = "Cannot update chart. Invalid series.";

struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
  friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

struct PlotSeries {
  std::string title;               // the dependent column's name
  std::vector<ChartPoint> points;  // in ascending order of x (rows of equal x in file order)
};

struct ChartData {
  std::string xTitle;              // the independent column's name, "" when it has none
  std::vector<PlotSeries> series;  // the active series, Series1 first
  bool failed = false;             // an invalid series stopped the filling
};

// The smallest and largest coordinates of all points; `empty` without points. The smallest
// positive ones are 0 when there are none.
struct ChartExtent {
  bool empty = true;
  double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
  double minPositiveX = 0.0, minPositiveY = 0.0;
};

// Fills one series per name in `yNames` (at most 10 are drawn; callers limit them) from every
// row of the table, plotted against the column named `xName`. A name without a column, or y0
// of 0 (or a quotient out of range) when plotting relative change, stops the filling at the
// first row that needs it: the points added so far stay, the series reached stay active, and
// the result is marked failed. Nothing is reported here.
ChartData BuildChartData(const OutputTable& table, const std::string& xName,
                         const std::vector<std::string>& yNames, ValueType valueType);

ChartExtent ExtentOf(const ChartData& data);

}  // namespace kvsorv
