#pragma once
// The axis dialog (TDlgScale): sets the chart axis named by the display session's AxisIsX to
// linear or logarithmic scale and to an automatic or explicit range. Its rules live in
// display/axis_dialog_fields.h.

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kvsorv {

class OutputDisplaySession;

class TDlgScale : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgScale(QWidget* parent = nullptr);
  // Stops following the application's focus before its fields go: destroying them moves the
  // focus, which must not reach a dialog half destroyed.
  ~TDlgScale() override;

  // Shows the dialog modally, centred over its owner inside the screen. Leaving the Axis Type group
  // applies its choice at once (and calls `axesChanged`), OK or not; OK applies the range. Returns
  // whether it was closed with OK.
  bool Open(OutputDisplaySession& session, const std::function<void()>& axesChanged);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void OKBtnClick();
  void RGAxisTypeExit();
  void EditExit(QLineEdit* field);
  // Focus moved from `from`: the exits of the group and the fields.
  void FocusLeft(QWidget* from, QWidget* to);
  bool InAxisType(const QWidget* w) const;

  OutputDisplaySession* session_ = nullptr;
  std::function<void()> axesChanged_;

  QGroupBox* RGAxisType;
  QRadioButton* linear_;
  QRadioButton* logarithmic_;
  QLabel* LblScale;
  QLabel* LblMin;
  QLineEdit* EdMinValue;
  QLabel* LblMax;
  QLineEdit* EdMaxValue;
  QLabel* LblIncrem;
  QLineEdit* EdIncrem;
  QCheckBox* CBAuto;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace kvsorv
