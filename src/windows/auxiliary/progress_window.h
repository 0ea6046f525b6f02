#pragma once
// The progress window of an interactive run: the run's start and stop times at the ends of a
// bar that moves from 0 to 100 as the run advances.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kvsorv {

class TFmProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TFmProgress(QWidget* parent = nullptr);

  // Moves the bar to a whole percent and paints it at once: the run holds the program's
  // only thread, so nothing else would repaint it before the run ends.
  void SetPosition(int percent);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();

  QLabel* LblBegin;
  QProgressBar* runProgressBar;
  QLabel* LblEnd;
};

}  // namespace kvsorv
