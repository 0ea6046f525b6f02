#pragma once
// A label that reports a click with the left mouse button.

#include <QLabel>

namespace kvsorv {

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kvsorv
