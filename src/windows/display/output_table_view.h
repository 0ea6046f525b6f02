#pragma once
// The output table's grid (SgModelOutput): a read-only view over the table model in which
// the first two rows (index and name) stand as the column headers and the first column
// (time) stays in place while the others scroll sideways. Columns at least 65 pixels wide,
// as wide as their values and units need whenever the table is loaded, then sized by the
// user; grid lines.

#include <QTableView>

namespace kvsorv {

class OutputTableView : public QTableView {
  Q_OBJECT
 public:
  explicit OutputTableView(QWidget* parent = nullptr);
  void setModel(QAbstractItemModel* model) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void updateGeometries() override;

 private:
  // Hides the rows the header shows, and in the fixed column every other column.
  void HideHeaderRowsAndColumns();
  void PlaceFixedColumn();
  // Each column as wide as its widest value (the time's measured, the others' bounded) and
  // its units.
  void FitColumnWidths();

  QTableView* fixed_;  // the time column, over the left edge of this view
};

}  // namespace kvsorv
