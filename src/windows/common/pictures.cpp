#include "windows/common/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace kvsorv {

namespace {

const QColor kSoil(121, 85, 61);
const QColor kHumus(84, 58, 42);
const QColor kTrunk(110, 76, 50);
const QColor kLeaf(58, 140, 62);
const QColor kLeafLight(96, 178, 88);

void DrawCrown(QPainter& p, const QRectF& box) {
  QRadialGradient shade(box.center() - QPointF(box.width() * 0.15, box.height() * 0.15),
                        box.width() * 0.6);
  shade.setColorAt(0, kLeafLight);
  shade.setColorAt(1, kLeaf);
  p.setBrush(shade);
  p.setPen(Qt::NoPen);
  p.drawEllipse(box);
}

}  // namespace

QPixmap TreeIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  p.setPen(Qt::NoPen);
  p.setBrush(kSoil);
  p.drawRoundedRect(QRectF(0.05 * s, 0.78 * s, 0.9 * s, 0.2 * s), 0.05 * s, 0.05 * s);
  p.setBrush(kTrunk);
  p.drawRect(QRectF(0.43 * s, 0.45 * s, 0.14 * s, 0.38 * s));
  DrawCrown(p, QRectF(0.12 * s, 0.04 * s, 0.76 * s, 0.56 * s));
  return pixmap;
}

QPixmap ForestScene(QSize size) {
  QPixmap pixmap(size);
  const double w = size.width();
  const double h = size.height();
  const double ground = 0.58 * h;
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, ground);
  sky.setColorAt(0, QColor(120, 170, 220));
  sky.setColorAt(1, QColor(214, 232, 245));
  p.fillRect(QRectF(0, 0, w, ground), sky);

  // Soil layers: litter, mineral soil with humus, deeper soil.
  p.fillRect(QRectF(0, ground, w, 0.05 * h), QColor(139, 105, 60));
  p.fillRect(QRectF(0, ground + 0.05 * h, w, 0.17 * h), kHumus);
  p.fillRect(QRectF(0, ground + 0.22 * h, w, h - ground - 0.22 * h), kSoil);

  // Roots.
  QPen root(QColor(196, 160, 120), 0.012 * w, Qt::SolidLine, Qt::RoundCap);
  p.setPen(root);
  const QPointF base(0.5 * w, ground);
  for (const double dx : {-0.32, -0.18, 0.0, 0.16, 0.3}) {
    QPainterPath path(base);
    path.quadTo(QPointF(0.5 * w + dx * 0.5 * w, ground + 0.12 * h),
                QPointF(0.5 * w + dx * w, ground + (0.2 + 0.15 * (1 - std::abs(dx))) * h));
    p.drawPath(path);
  }

  // Trunk and crown.
  p.setPen(Qt::NoPen);
  p.setBrush(kTrunk);
  p.drawRect(QRectF(0.45 * w, 0.3 * h, 0.1 * w, ground - 0.3 * h + 2));
  DrawCrown(p, QRectF(0.12 * w, 0.06 * h, 0.76 * w, 0.36 * h));
  DrawCrown(p, QRectF(0.05 * w, 0.2 * h, 0.4 * w, 0.2 * h));
  DrawCrown(p, QRectF(0.55 * w, 0.18 * h, 0.4 * w, 0.2 * h));
  return pixmap;
}

}  // namespace kvsorv
