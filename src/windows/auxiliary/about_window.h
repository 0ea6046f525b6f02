#pragma once
// The about window: the laboratory, the model's name and version, and whom to contact.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kvsorv {

class ClickableLabel;

class TFmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TFmAbout(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  // Centres the window on the screen.
  void CentreOnScreen();

  // The trouble window rearranges these.
  ClickableLabel* Image1;
  QLabel* LblKVS;
  QLabel* LblModel;
  QLabel* LblVersion;
  QPlainTextEdit* MoContact;
  QPushButton* BtnOK;

 private:
  void FormShow();
};

}  // namespace kvsorv
