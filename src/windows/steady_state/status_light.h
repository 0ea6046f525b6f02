#pragma once
// A round status light, red or green.

#include <QWidget>

namespace kvsorv {

class StatusLight : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool green READ IsGreen)
 public:
  explicit StatusLight(QWidget* parent = nullptr);
  void SetGreen(bool green);
  bool IsGreen() const { return green_; }
  QSize sizeHint() const override { return {28, 28}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool green_ = false;
};

}  // namespace kvsorv
