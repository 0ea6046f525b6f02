#include "display/chart_data.h"

#include <algorithm>

#include "model/checked_math.h"
#include "model/errors.h"

namespace kvsorv {

namespace {

// Puts the points in ascending order of x, keeping the file order of equal x.
void SortByX(PlotSeries& s) {
  std::stable_sort(s.points.begin(), s.points.end(),
                   [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
}

struct InvalidSeries {};

double Plotted(double y, double y0, ValueType type) {
  switch (type) {
    case ValueType::kActual:
      return y;
    case ValueType::kRelative:
    case ValueType::kCumulative:
      try {
        return type == ValueType::kRelative ? fp::Div(y, y0) : fp::Finite(y - y0);
      } catch (const EMathError&) {
        throw InvalidSeries{};
      }
  }
  return y;
}

}  // namespace

ChartData BuildChartData(const OutputTable& table, const std::string& xName,
                         const std::vector<std::string>& yNames, ValueType valueType) {
  ChartData data;
  const int xColumn = table.FindColumn(xName);
  if (xColumn >= 0) data.xTitle = table.Column(xColumn).name;
  const int rows = table.RowCount();
  for (const std::string& name : yNames) {
    PlotSeries& s = data.series.emplace_back();
    s.title = name;
    const int yColumn = table.FindColumn(name);
    try {
      if (rows > 0 && (xColumn < 0 || yColumn < 0)) throw InvalidSeries{};
      s.points.reserve(static_cast<std::size_t>(rows));
      for (int r = 0; r < rows; ++r) {
        const double y0 = table.Value(0, yColumn);
        s.points.push_back(
            {table.Value(r, xColumn), Plotted(table.Value(r, yColumn), y0, valueType)});
      }
    } catch (const InvalidSeries&) {
      data.failed = true;
    }
    SortByX(s);
    if (data.failed) break;
  }
  return data;
}

ChartExtent ExtentOf(const ChartData& data) {
  ChartExtent e;
  for (const PlotSeries& s : data.series) {
    for (const ChartPoint& p : s.points) {
      if (e.empty) {
        e.minX = e.maxX = p.x;
        e.minY = e.maxY = p.y;
        e.empty = false;
      }
      e.minX = std::min(e.minX, p.x);
      e.maxX = std::max(e.maxX, p.x);
      e.minY = std::min(e.minY, p.y);
      e.maxY = std::max(e.maxY, p.y);
      if (p.x > 0 && (e.minPositiveX == 0 || p.x < e.minPositiveX)) e.minPositiveX = p.x;
      if (p.y > 0 && (e.minPositiveY == 0 || p.y < e.minPositiveY)) e.minPositiveY = p.y;
    }
  }
  return e;
}

}  // namespace kvsorv
