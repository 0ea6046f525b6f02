#include "windows/ensemble_window/correlation_table_model.h"

#include <QBrush>
#include <QColor>

#include "windows/common/qt_text.h"

namespace kvsorv {

using ensemble::CorrelationRow;

CorrelationTableModel::CorrelationTableModel(ensemble::EnsembleSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void CorrelationTableModel::Reload() {
  beginResetModel();
  endResetModel();
}

int CorrelationTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(session_.Correlations().size());
}

int CorrelationTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant CorrelationTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::ToolTipRole || role == Qt::BackgroundRole) {
    const std::string problem = session_.CorrelationProblem(row);
    if (problem.empty()) return {};
    return role == Qt::ToolTipRole ? QVariant(Q(problem)) : QVariant(QBrush(QColor(255, 225, 220)));
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const CorrelationRow& r = session_.Correlations().at(row);
  switch (index.column()) {
    case 0:
      return Q(r.a);
    case 1:
      return Q(r.b);
    default:
      return Q(r.rank);
  }
}

QVariant CorrelationTableModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const char* const headers[] = {"Parameter", "With", "Rank correlation"};
  return section >= 0 && section < 3 ? headers[section] : QVariant();
}

Qt::ItemFlags CorrelationTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool CorrelationTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const auto row = static_cast<std::size_t>(index.row());
  CorrelationRow r = session_.Correlations().at(row);
  std::string& cell = index.column() == 0 ? r.a : index.column() == 1 ? r.b : r.rank;
  cell = S(value.toString().trimmed());
  session_.SetCorrelation(row, std::move(r));
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), 2));
  emit edited();
  return true;
}

}  // namespace kvsorv
