#include "windows/charts/chart_markers.h"

#include <QPainter>
#include <QPolygonF>

namespace kvsorv {

const std::array<SeriesStyle, 10>& SeriesStyles() {
  static const std::array<SeriesStyle, 10> styles = {{
      {MarkerShape::kRectangle, QColor(0xFF0000), QColor(0xFF0000)},
      {MarkerShape::kCircle, QColor(0x008000), QColor(0x008000)},
      {MarkerShape::kTriangle, QColor(0x0080C0), QColor(0x0080C0)},
      {MarkerShape::kCross, QColor(0x0000FF), QColor(0x0000FF)},
      {MarkerShape::kDownTriangle, QColor(0x800040), QColor(0x800040)},
      {MarkerShape::kTriangle, QColor(0x80FF80), QColor(0x80FF80)},
      {MarkerShape::kCircle, QColor(0x80FFFF), QColor(0x80FFFF)},
      {MarkerShape::kDiamond, QColor(0x808000), QColor(0x800040)},
      {MarkerShape::kRectangle, QColor(0xFF8000), QColor(0xFF8000)},
      {MarkerShape::kDownTriangle, QColor(0x800040), QColor(0x408080)},
  }};
  return styles;
}

QImage MarkerImage(const SeriesStyle& style) {
  QImage image(kMarkerSize, kMarkerSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  const double e = kMarkerSize - 0.5;  // far edge, through pixel centres
  const double m = kMarkerSize / 2.0;  // middle
  p.setPen(QPen(style.outline, 1.0));
  p.setBrush(style.fill);
  switch (style.shape) {
    case MarkerShape::kRectangle:
      p.drawRect(QRectF(0.5, 0.5, kMarkerSize - 1.0, kMarkerSize - 1.0));
      break;
    case MarkerShape::kCircle:
      p.setRenderHint(QPainter::Antialiasing);
      p.drawEllipse(QRectF(0.5, 0.5, kMarkerSize - 1.0, kMarkerSize - 1.0));
      break;
    case MarkerShape::kTriangle:
      p.setRenderHint(QPainter::Antialiasing);
      p.drawPolygon(QPolygonF({{m, 0.5}, {e, e}, {0.5, e}}));
      break;
    case MarkerShape::kDownTriangle:
      p.setRenderHint(QPainter::Antialiasing);
      p.drawPolygon(QPolygonF({{0.5, 0.5}, {e, 0.5}, {m, e}}));
      break;
    case MarkerShape::kCross:
      p.setPen(QPen(style.outline, 1.0));
      p.drawLine(QPointF(m, 0), QPointF(m, kMarkerSize));
      p.drawLine(QPointF(0, m), QPointF(kMarkerSize, m));
      break;
    case MarkerShape::kDiamond:
      p.setRenderHint(QPainter::Antialiasing);
      p.drawPolygon(QPolygonF({{m, 0.5}, {e, m}, {m, e}, {0.5, m}}));
      break;
  }
  return image;
}

}  // namespace kvsorv
