#include "windows/ensemble_window/distribution_delegate.h"

#include <QComboBox>

#include "ensemble_window/plan_table.h"
#include "windows/common/qt_text.h"
#include "windows/ensemble_window/plan_table_model.h"

namespace kvsorv {

QWidget* DistributionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
  if (index.column() != PlanTableModel::kDistributionColumn)
    return QStyledItemDelegate::createEditor(parent, option, index);
  auto* combo = new QComboBox(parent);
  combo->setObjectName("CbDistribution");
  for (const std::string& name : ensemble::DistributionNames()) combo->addItem(Q(name));
  // A choice takes effect at once, without leaving the cell.
  auto* self = const_cast<DistributionDelegate*>(this);
  connect(combo, &QComboBox::activated, self, [self, combo] { emit self->commitData(combo); });
  return combo;
}

void DistributionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentText(index.data(Qt::EditRole).toString());
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void DistributionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, combo->currentText(), Qt::EditRole);
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

}  // namespace kvsorv
