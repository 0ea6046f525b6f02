#include "windows/ensemble_window/plan_table_model.h"

#include <QBrush>
#include <QColor>

#include "windows/common/qt_text.h"

namespace kvsorv {

using ensemble::ArgumentNames;
using ensemble::PlanRow;

PlanTableModel::PlanTableModel(ensemble::EnsembleSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void PlanTableModel::Reload() {
  beginResetModel();
  endResetModel();
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(session_.Rows().size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kFirstArgumentColumn + ensemble::kMostArguments;
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const PlanRow& r = session_.Rows().at(row);
  const int column = index.column();
  if (role == Qt::ToolTipRole || role == Qt::BackgroundRole) {
    const std::string problem = ensemble::RowProblem(session_.Rows(), row);
    if (role == Qt::ToolTipRole) return problem.empty() ? QVariant() : QVariant(Q(problem));
    return problem.empty() ? QVariant() : QVariant(QBrush(QColor(255, 225, 220)));
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  if (column == kSymbolColumn) return Q(r.symbol);
  if (column == kDistributionColumn) return Q(r.distribution);
  const auto a = static_cast<std::size_t>(column - kFirstArgumentColumn);
  const std::vector<std::string>& names = ArgumentNames(r.distribution);
  if (a >= names.size()) return {};
  const std::string text = a < r.arguments.size() ? r.arguments[a] : std::string();
  return role == Qt::EditRole ? Q(text) : Q(names[a] + ": " + text);
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section == kSymbolColumn) return "Parameter";
  if (section == kDistributionColumn) return "Distribution";
  return QString("Argument %1").arg(section - kFirstArgumentColumn + 1);
}

Qt::ItemFlags PlanTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const PlanRow& r = session_.Rows().at(static_cast<std::size_t>(index.row()));
  const int a = index.column() - kFirstArgumentColumn;
  if (a < 0 || a < static_cast<int>(ArgumentNames(r.distribution).size())) f |= Qt::ItemIsEditable;
  return f;
}

bool PlanTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const auto row = static_cast<std::size_t>(index.row());
  PlanRow r = session_.Rows().at(row);
  const std::string text = S(value.toString().trimmed());
  if (index.column() == kSymbolColumn) {
    r.symbol = text;
  } else if (index.column() == kDistributionColumn) {
    if (text == r.distribution) return false;
    r.distribution = text;
    r.arguments.assign(ArgumentNames(text).size(), std::string());
  } else {
    const auto a = static_cast<std::size_t>(index.column() - kFirstArgumentColumn);
    if (a >= ArgumentNames(r.distribution).size()) return false;
    r.arguments.resize(ArgumentNames(r.distribution).size());
    r.arguments[a] = text;
  }
  session_.SetRow(row, std::move(r));
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
  emit edited();
  return true;
}

}  // namespace kvsorv
