#pragma once
// One page of the parameter editor: the process's symbol, current value and units in
// HeaderPanel, above ParamGrid with one row per parameter of the process, where only the
// Parameter Value column can be selected and edited. Edits go to the editor's session; the
// texts shown are the session's.

#include <QWidget>
#include <vector>

class QLabel;

namespace kvsorv {

class ParameterEditorSession;
class StringGrid;

class TMyTabSheet : public QWidget {
  Q_OBJECT
 public:
  TMyTabSheet(ParameterEditorSession& session, int page, QWidget* parent = nullptr);

  // Rewrites the process value and every cell from the session.
  void ShowTexts();
  // Gives every page the same column widths, each wide enough for that column's longest
  // text on any page; the last column fills the rest of the grid.
  static void AlignColumns(const std::vector<TMyTabSheet*>& sheets);
  StringGrid& Grid() { return *ParamGrid; }

 private:
  ParameterEditorSession& session_;
  int page_;
  QWidget* HeaderPanel;
  QLabel* LblProcSymbol;
  QLabel* LblProcValue;
  QLabel* LblProcUnits;
  StringGrid* ParamGrid;
};

}  // namespace kvsorv
