#pragma once
// The reload dialog: puts back the parameter file's parameter values, state values or both.
// Its rules live in ReloadSession; the check boxes show and set the session's choice.

#include <QDialog>

#include "editors/reload_session.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace kvsorv {

inline constexpr const char* kReloadDirections =
    "Choose which items to reload from the parameter file.  \n"
    "Changes to parameters or state variables which \n"
    "haven't been saved will be lost when you reload.";

class TDlgReload : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgReload(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OKBtnClick();

  ReloadSession session_;
  QPlainTextEdit* MoDirections;
  QCheckBox* CbParams;
  QCheckBox* CbState;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace kvsorv
