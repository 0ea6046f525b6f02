#pragma once
// The look of the output chart's ten point series: each one's point shape, fill and outline,
// and the marker picture drawn at every point.

#include <QColor>
#include <QImage>
#include <array>

namespace kvsorv {

enum class MarkerShape { kRectangle, kCircle, kTriangle, kDownTriangle, kCross, kDiamond };

struct SeriesStyle {
  MarkerShape shape;
  QColor fill;
  QColor outline;
};

// Series1 ... Series10, in order.
const std::array<SeriesStyle, 10>& SeriesStyles();

// Points reach 3 pixels either side of their centre.
inline constexpr int kMarkerSize = 7;

// The picture of a point: the shape in its colours on a transparent ground, kMarkerSize
// pixels square.
QImage MarkerImage(const SeriesStyle& style);

}  // namespace kvsorv
