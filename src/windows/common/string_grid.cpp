#include "windows/common/string_grid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

namespace kvsorv {

// The grid's cells as a table model: data rows are the grid's rows below the fixed row, whose
// texts are the column header.
class StringGridModel : public QAbstractTableModel {
 public:
  struct CellData {
    QString text;
    bool hasCheckBox = false;
    bool checked = false;
  };

  explicit StringGridModel(StringGrid& grid) : QAbstractTableModel(&grid), grid_(grid) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(cells_.size()) - fixedRows_;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : columns_;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    return CellRole(index.column(), index.row() + fixedRows_, role);
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || fixedRows_ == 0 || section < 0 || section >= columns_)
      return {};
    return CellRole(section, 0, role);
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    const int row = index.row() + fixedRows_;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (grid_.CanSelect(index.column(), row) && !Cell(index.column(), row).hasCheckBox) {
      f |= Qt::ItemIsSelectable;
      if (grid_.editing_ != GridEditing::kNone) f |= Qt::ItemIsEditable;
    }
    return f;
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int row = index.row() + fixedRows_;
    const QString text = value.toString();
    Cell(index.column(), row).text = text;
    emit dataChanged(index, index);
    emit grid_.cellEdited(index.column(), row, text);
    return true;
  }

  CellData& Cell(int column, int row) {
    return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
  }
  const CellData& Cell(int column, int row) const {
    return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
  }
  bool Contains(int column, int row) const {
    return column >= 0 && column < columns_ && row >= 0 && row < RowCount();
  }
  int RowCount() const { return static_cast<int>(cells_.size()); }
  int Columns() const { return columns_; }
  int FixedRows() const { return fixedRows_; }

  void SetColumns(int columns) {
    beginResetModel();
    columns_ = columns;
    for (auto& row : cells_) row.resize(static_cast<std::size_t>(columns));
    endResetModel();
  }

  // Rows come and go as rows of the model, so the columns keep their widths.
  void SetRows(int rows) {
    rows = std::max(rows, fixedRows_);
    const int oldData = rowCount();
    const int newData = rows - fixedRows_;
    const auto resize = [&] {
      cells_.resize(static_cast<std::size_t>(rows),
                    std::vector<CellData>(static_cast<std::size_t>(columns_)));
    };
    if (newData > oldData) {
      beginInsertRows({}, oldData, newData - 1);
      resize();
      endInsertRows();
    } else if (newData < oldData) {
      beginRemoveRows({}, newData, oldData - 1);
      resize();
      endRemoveRows();
    } else {
      resize();
    }
  }

  void SetFixedRows(int rows) {
    beginResetModel();
    fixedRows_ = rows;
    if (RowCount() < rows)
      cells_.resize(static_cast<std::size_t>(rows),
                    std::vector<CellData>(static_cast<std::size_t>(columns_)));
    endResetModel();
  }

  void CellChanged(int column, int row) {
    if (row < fixedRows_) {
      emit headerDataChanged(Qt::Horizontal, column, column);
    } else {
      const QModelIndex i = index(row - fixedRows_, column);
      emit dataChanged(i, i);
    }
  }

  void AllChanged() {
    if (fixedRows_ > 0 && columns_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    if (rowCount() > 0 && columns_ > 0)
      emit dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1));
  }

 private:
  QVariant CellRole(int column, int row, int role) const {
    if (!Contains(column, row)) return {};
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        return Cell(column, row).text;
      case Qt::BackgroundRole:
        if (grid_.color_) {
          const QColor c = grid_.color_(column, row);
          if (c.isValid()) return QBrush(c);
        }
        return {};
      case Qt::FontRole:
        if (grid_.bold_ && grid_.bold_(column, row)) {
          QFont f = grid_.font();
          f.setBold(true);
          return f;
        }
        return {};
      case Qt::TextAlignmentRole: {
        const Qt::Alignment a = grid_.alignment_ ? grid_.alignment_(column, row) : Qt::AlignLeft;
        return QVariant::fromValue(a | Qt::AlignVCenter);
      }
      default:
        return {};
    }
  }

  StringGrid& grid_;
  std::vector<std::vector<CellData>> cells_;
  int columns_ = 0;
  int fixedRows_ = 0;
};

// Draws check boxes centred in their cells, and runs the paint hook after every cell.
class StringGridDelegate : public QStyledItemDelegate {
 public:
  explicit StringGridDelegate(StringGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int column = index.column();
    const int row = grid_.RowOf(index);
    if (grid_.HasCheckBox(column, row)) {
      QStyleOptionViewItem cell(option);
      initStyleOption(&cell, index);
      cell.text.clear();
      QStyle* style = grid_.style();
      style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, &grid_);
      QStyleOptionViewItem box(cell);
      const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &cell, &grid_);
      const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &cell, &grid_);
      box.rect = QRect(option.rect.center() - QPoint(w / 2, h / 2), QSize(w, h));
      box.state &= ~(QStyle::State_On | QStyle::State_Off);
      box.state |= grid_.Checked(column, row) ? QStyle::State_On : QStyle::State_Off;
      box.state |= QStyle::State_Enabled;
      style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, &grid_);
    } else {
      QStyledItemDelegate::paint(painter, option, index);
    }
    if (grid_.paint_) {
      painter->save();
      grid_.paint_(*painter, option.rect, column, row);
      painter->restore();
    }
  }

 private:
  StringGrid& grid_;
};

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), model_(new StringGridModel(*this)) {
  setModel(model_);
  setItemDelegate(new StringGridDelegate(*this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setShowGrid(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->hide();
  SetUserColumnSizing(false);
}

StringGrid::~StringGrid() = default;

void StringGrid::SetColCount(int columns) {
  model_->SetColumns(columns);
}

void StringGrid::SetRowCount(int rows) {
  model_->SetRows(rows);
}

int StringGrid::ColCount() const {
  return model_->Columns();
}

int StringGrid::RowCount() const {
  return model_->RowCount();
}

void StringGrid::SetFixedRows(int rows) {
  model_->SetFixedRows(std::clamp(rows, 0, 1));
  horizontalHeader()->setVisible(model_->FixedRows() > 0);
}

int StringGrid::FixedRows() const {
  return model_->FixedRows();
}

QString StringGrid::Cell(int column, int row) const {
  return model_->Contains(column, row) ? model_->Cell(column, row).text : QString();
}

void StringGrid::SetCell(int column, int row, const QString& text) {
  if (!model_->Contains(column, row) || model_->Cell(column, row).text == text) return;
  model_->Cell(column, row).text = text;
  model_->CellChanged(column, row);
}

void StringGrid::SetCheckBox(int column, int row, bool present) {
  if (!model_->Contains(column, row)) return;
  model_->Cell(column, row).hasCheckBox = present;
  model_->CellChanged(column, row);
}

bool StringGrid::HasCheckBox(int column, int row) const {
  return model_->Contains(column, row) && model_->Cell(column, row).hasCheckBox;
}

bool StringGrid::Checked(int column, int row) const {
  return HasCheckBox(column, row) && model_->Cell(column, row).checked;
}

void StringGrid::SetChecked(int column, int row, bool checked) {
  if (!HasCheckBox(column, row) || model_->Cell(column, row).checked == checked) return;
  model_->Cell(column, row).checked = checked;
  model_->CellChanged(column, row);
}

void StringGrid::SetDefaultColumnWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
  for (int c = 0; c < ColCount(); ++c) setColumnWidth(c, width);
}

void StringGrid::FitColumnWidth(int column, int minimum) {
  resizeColumnToContents(column);
  if (columnWidth(column) < minimum) setColumnWidth(column, minimum);
}

void StringGrid::SetRowHeight(int height) {
  verticalHeader()->setMinimumSectionSize(std::min(height, verticalHeader()->minimumSectionSize()));
  verticalHeader()->setDefaultSectionSize(height);
}

void StringGrid::SetUserColumnSizing(bool allowed) {
  horizontalHeader()->setSectionResizeMode(allowed ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void StringGrid::SetEditing(GridEditing editing) {
  if (editing_ != editing && state() == EditingState) CommitEdit();
  editing_ = editing;
  switch (editing) {
    case GridEditing::kNone:
      setEditTriggers(NoEditTriggers);
      break;
    case GridEditing::kInPlace:
      setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
      break;
    case GridEditing::kAlwaysShown:
      setEditTriggers(AllEditTriggers);
      break;
  }
}

void StringGrid::SetSelectCellTest(CellTest test) {
  selectable_ = std::move(test);
}

void StringGrid::SetBoldTest(CellTest test) {
  bold_ = std::move(test);
}

void StringGrid::SetCellColor(CellColor color) {
  color_ = std::move(color);
}

void StringGrid::SetCellAlignment(CellAlignment alignment) {
  alignment_ = std::move(alignment);
}

void StringGrid::SetPaintHook(CellPaint paint) {
  paint_ = std::move(paint);
}

bool StringGrid::CanSelect(int column, int row) const {
  if (row < FixedRows() || !model_->Contains(column, row) || isColumnHidden(column)) return false;
  return !selectable_ || selectable_(column, row);
}

int StringGrid::CurrentColumn() const {
  return currentIndex().isValid() ? currentIndex().column() : -1;
}

int StringGrid::CurrentRow() const {
  return currentIndex().isValid() ? RowOf(currentIndex()) : -1;
}

void StringGrid::SetCurrentCell(int column, int row) {
  if (!CanSelect(column, row)) return;
  setCurrentIndex(IndexOf(column, row));
}

QRect StringGrid::CellRect(int column, int row) const {
  return visualRect(IndexOf(column, row));
}

void StringGrid::CommitEdit() {
  if (state() != EditingState) return;
  QWidget* editor = indexWidget(currentIndex());
  if (editor == nullptr) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGrid::Refresh() {
  model_->AllChanged();
  viewport()->update();
}

int StringGrid::RowOf(const QModelIndex& index) const {
  return index.row() + FixedRows();
}

QModelIndex StringGrid::IndexOf(int column, int row) const {
  return model_->index(row - FixedRows(), column);
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex from = currentIndex();
  int rowStep = 0;
  int columnStep = 0;
  switch (action) {
    case MoveUp:
    case MovePrevious:
      rowStep = -1;
      break;
    case MoveDown:
    case MoveNext:
      rowStep = 1;
      break;
    case MoveLeft:
      columnStep = -1;
      break;
    case MoveRight:
      columnStep = 1;
      break;
    default: {
      // Page and Home/End moves: where the table would go, kept in the current column.
      const QModelIndex to = QTableView::moveCursor(action, modifiers);
      if (!from.isValid() || !to.isValid()) return from;
      const int row = RowOf(to);
      return CanSelect(from.column(), row) ? IndexOf(from.column(), row) : from;
    }
  }
  if (!from.isValid()) return from;
  // Step over the cells that cannot be selected; stay put when none can be.
  for (int column = from.column() + columnStep, row = RowOf(from) + rowStep;
       model_->Contains(column, row); column += columnStep, row += rowStep) {
    if (CanSelect(column, row)) return IndexOf(column, row);
  }
  return from;
}

bool StringGrid::TakesMouse(QMouseEvent* event, bool press) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return false;
  const int column = index.column();
  const int row = RowOf(index);
  if (HasCheckBox(column, row)) {
    if (press && event->button() == Qt::LeftButton) pressedCheckBox_ = index;
    return true;
  }
  return !CanSelect(column, row);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  if (TakesMouse(event, true)) {
    event->accept();
    return;
  }
  QTableView::mousePressEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (TakesMouse(event, true)) {
    event->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (pressedCheckBox_.isValid() && event->button() == Qt::LeftButton) {
    const QModelIndex pressed = pressedCheckBox_;
    pressedCheckBox_ = QPersistentModelIndex();
    if (index == pressed) {
      const int column = index.column();
      const int row = RowOf(index);
      const bool checked = !Checked(column, row);
      SetChecked(column, row, checked);
      emit checkBoxClicked(column, row, checked);
    }
    event->accept();
    return;
  }
  if (TakesMouse(event, false)) {
    event->accept();
    return;
  }
  QTableView::mouseReleaseEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  // Dragging selects nothing and never moves the current cell.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTableView::mouseMoveEvent(event);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  // Enter in a cell editor stores the cell; it does not also press the dialog's default
  // button.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      state() == EditingState) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void StringGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  // Tabbing into a grid whose editor is always shown opens it; focus coming back from a
  // closed editor does not, so Esc can still reach the dialog.
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
      reason == Qt::ShortcutFocusReason)
    OpenEditorIfAlwaysShown();
}

void StringGrid::OpenEditorIfAlwaysShown() {
  const QModelIndex current = currentIndex();
  if (editing_ != GridEditing::kAlwaysShown || !current.isValid() || state() == EditingState)
    return;
  if (current.flags() & Qt::ItemIsEditable) edit(current);
}

}  // namespace kvsorv
