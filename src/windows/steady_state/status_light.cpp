#include "windows/steady_state/status_light.h"

#include <QPainter>

namespace kvsorv {

StatusLight::StatusLight(QWidget* parent) : QWidget(parent) {
  setMinimumSize(20, 20);
}

void StatusLight::SetGreen(bool green) {
  green_ = green;
  update();
}

void StatusLight::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(green_ ? QColor(0, 190, 0) : QColor(225, 0, 0));
  painter.drawEllipse(circle);
}

}  // namespace kvsorv
