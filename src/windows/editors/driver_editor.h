#pragma once
// The driver editor: the driver file as fixed-width text, edited freely and saved as a
// driver file, with a button to switch to another driver file. Its rules live in
// DriverEditorSession; the window shows the session's caption and text and hands it every
// command.

#include <QDialog>
#include <functional>

#include "editors/driver_editor_session.h"

class QPlainTextEdit;
class QPushButton;

namespace kvsorv {

class TFmNote : public QDialog {
  Q_OBJECT
 public:
  // `chooseDriverFile`: the main window's driver-file choosing command.
  explicit TFmNote(std::function<void()> chooseDriverFile, QWidget* parent = nullptr);

  // Close, Esc and the window frame: asks about unsaved edits, and may stay open.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormActivate();
  void BtnSaveFileClick();
  void BtnChooseFileClick();
  // Shows the session's caption and text, unmodified.
  void ShowSessionText();
  std::string CurrentText() const;
  void Finish(NoteResult result);

  DriverEditorSession session_;
  QPlainTextEdit* MoDrivers;
  QPushButton* BtnChooseFile;
  QPushButton* BtnSaveFile;
  QPushButton* BtnClose;
};

}  // namespace kvsorv
