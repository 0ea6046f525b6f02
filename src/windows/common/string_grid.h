#pragma once
// A grid of texts addressed by cell (column, row), on Qt's model/view. Row 0 is the fixed
// header row when the grid has one: it is drawn as the column header, stays in view while
// the rows scroll, and its edges size the columns. Cells may hold a check box. Hooks decide
// each cell's selectability, background colour, font weight and alignment, and may paint
// over a cell once it is drawn. Cells that can be selected may be edited in place.

#include <QTableView>
#include <functional>

namespace kvsorv {

class StringGridModel;

enum class GridEditing {
  kNone,         // read-only
  kInPlace,      // typing, F2, a double click or a click on the current cell opens the editor
  kAlwaysShown,  // the editor opens as soon as a cell becomes current
};

class StringGrid : public QTableView {
  Q_OBJECT
 public:
  using CellTest = std::function<bool(int column, int row)>;
  using CellColor = std::function<QColor(int column, int row)>;
  using CellAlignment = std::function<Qt::Alignment(int column, int row)>;
  using CellPaint = std::function<void(QPainter& painter, const QRect& rect, int column, int row)>;

  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  // Size in cells; the row count includes the fixed row. Cells beyond a smaller size are
  // dropped, new ones are empty.
  void SetColCount(int columns);
  void SetRowCount(int rows);
  int ColCount() const;
  int RowCount() const;
  // 0 or 1: whether row 0 is the fixed header row.
  void SetFixedRows(int rows);
  int FixedRows() const;

  QString Cell(int column, int row) const;
  void SetCell(int column, int row, const QString& text);

  // Check boxes: a click on the cell toggles the box and reports checkBoxClicked; the cell
  // does not become the current cell.
  void SetCheckBox(int column, int row, bool present);
  bool HasCheckBox(int column, int row) const;
  bool Checked(int column, int row) const;
  void SetChecked(int column, int row, bool checked);

  void SetDefaultColumnWidth(int width);
  // Widens or narrows a column to its texts (header included), to no less than `minimum`.
  void FitColumnWidth(int column, int minimum);
  void SetRowHeight(int height);
  // Whether the user may drag the header's column edges.
  void SetUserColumnSizing(bool allowed);
  void SetEditing(GridEditing editing);

  // The hooks; without one, every cell can be selected, keeps the normal background and
  // font, and is aligned left.
  void SetSelectCellTest(CellTest test);
  void SetBoldTest(CellTest test);
  void SetCellColor(CellColor color);  // an invalid colour keeps the normal background
  void SetCellAlignment(CellAlignment alignment);
  void SetPaintHook(CellPaint paint);
  bool CanSelect(int column, int row) const;

  // The current cell (-1, -1 when there is none); a cell that cannot be selected is not
  // made current.
  int CurrentColumn() const;
  int CurrentRow() const;
  void SetCurrentCell(int column, int row);
  // A data cell's rectangle in the viewport's coordinates.
  QRect CellRect(int column, int row) const;
  // Stores the text of an open cell editor, as Enter does.
  void CommitEdit();
  // The cells changed all at once (after the hooks' answers changed): repaint everything.
  void Refresh();

  // Typing never jumps to a cell that starts with the typed text.
  void keyboardSearch(const QString& /*search*/) override {}

 signals:
  void checkBoxClicked(int column, int row, bool checked);
  // The user's text stored into a cell by its editor.
  void cellEdited(int column, int row, const QString& text);

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  friend class StringGridModel;
  friend class StringGridDelegate;

  int RowOf(const QModelIndex& index) const;
  QModelIndex IndexOf(int column, int row) const;
  // Whether a mouse event falls on a cell that handles it itself (check box or not
  // selectable); a check-box press is remembered for its release.
  bool TakesMouse(QMouseEvent* event, bool press);
  void OpenEditorIfAlwaysShown();

  StringGridModel* model_;
  GridEditing editing_ = GridEditing::kNone;
  CellTest selectable_;
  CellTest bold_;
  CellColor color_;
  CellAlignment alignment_;
  CellPaint paint_;
  QPersistentModelIndex pressedCheckBox_;
};

}  // namespace kvsorv
