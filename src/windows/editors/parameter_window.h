#pragma once
// The parameter editor: a page for each process that has parameters, whose value cells the
// user edits; Update processes stores them and shows the processes recomputed from them. The
// rules are the session's; the window shows its texts and hands it every edit and button.

#include <QDialog>
#include <vector>

#include "editors/parameter_editor_session.h"

class QPushButton;

namespace kvsorv {

class ProcessList;
class TMyPageControl;
class TMyTabSheet;

class TFmParameter : public QDialog {
  Q_OBJECT
 public:
  // FormCreate: the pages from the catalogue as it stands now. `processList` is opened by
  // Show all processes and hidden when the editor closes.
  explicit TFmParameter(ProcessList& processList, QWidget* parent = nullptr);

  // Opens the editor modally (FormShow first); true when it closes with OK.
  bool Execute();

 public slots:
  // BtnClose, Esc and the window's frame.
  void reject() override;

 private:
  // Shows the session's caption, Close caption, process values and cells.
  void ShowSession();
  // Stores the text of an open cell editor into the session.
  void CommitEdits();
  // After a store that failed: the page and the cell holding the text that is not a number.
  void ShowBadCell();
  void BtnUpdateProcClick();
  void BtnShowAllProcessClick();
  void BtnOKClick();
  void SetDefaultSize();

  ParameterEditorSession session_;
  TMyPageControl* PageControl;
  QWidget* PlBottom;
  QPushButton* BtnUpdateProc;
  QPushButton* BtnShowAllProcess;
  QPushButton* BtnOK;
  QPushButton* BtnClose;
  std::vector<TMyTabSheet*> sheets_;
};

}  // namespace kvsorv
