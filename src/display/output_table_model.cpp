#include "display/output_table_model.h"

namespace kvsorv {

namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int OutputTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kTableHeaderRows + table_.RowCount();
}

int OutputTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.ColumnCount();
}

QVariant OutputTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row(), column = index.column();
  if (role == Qt::TextAlignmentRole)
    return row < kTableHeaderRows ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (row) {
    case 0:
      return QString::number(column);
    case 1:
      return Q(table_.Column(column).name);
    case 2:
      return Q(table_.Column(column).units);
    default:
      return Q(table_.CellText(row - kTableHeaderRows, column, decimalSeparator_));
  }
}

QVariant OutputTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
    return Q(table_.Column(section).name) + " (" + Q(table_.Column(section).units) + ')';
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString::number(section);
  return QString::number(section) + '\n' + Q(table_.Column(section).name);
}

void OutputTableModel::ChangeTable(const std::function<void()>& change) {
  beginResetModel();
  try {
    change();
  } catch (...) {
    endResetModel();
    throw;
  }
  endResetModel();
}

}  // namespace kvsorv
