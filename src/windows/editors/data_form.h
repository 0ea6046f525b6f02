#pragma once
// The state and process grid: as the state editor (ShowStates, modal) the initial value and
// HoldConstant flag of every state; as the process list (ShowProcess, without waiting,
// read-only) every process with its current value, refreshed whenever the processes change.
// The rules are the session's; the window shows its grid and hands it every edit, click and
// button.

#include <QDialog>

#include "editors/state_grid_session.h"

class QPushButton;

namespace kvsorv {

class StringGrid;

class TDataForm : public QDialog {
  Q_OBJECT
 public:
  // FormCreate; `owner` is the window the state editor belongs to.
  explicit TDataForm(QWidget* owner);

  // The state editor, modal; returns when it closes.
  void ShowStates();
  // The process list, shown without waiting beside the modal window that opens it (or the
  // owner), whose child it becomes so that it takes input while that window is open.
  void ShowProcess();
  // Hides the process list without settling anything.
  void HideProcessList();
  // Visible and listing processes.
  bool ProcessListShown() const;

 public slots:
  // BtnCancel, Esc and the window's frame.
  void reject() override;

 private:
  // Shows the session's caption, buttons, columns and cells.
  void ShowSession();
  void ShowCells();
  void BtnOKClick();

  StateGridSession session_;
  QWidget* owner_;
  QWidget* PnlTop;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;
  StringGrid* DataGrid;
};

}  // namespace kvsorv
