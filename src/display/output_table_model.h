#pragma once
// The output table as a Qt item model (Qt Core only): rows 0, 1 and 2 hold each column's
// index, name and units, rows 3 onward the data rows, each cell written "%.4g" only when it
// is asked for. The horizontal header gives the first two rows together, for views that keep
// them in place as a header.

#include <QAbstractTableModel>
#include <functional>

#include "display/output_table.h"

namespace kvsorv {

inline constexpr int kTableHeaderRows = 3;

class OutputTableModel : public QAbstractTableModel {
 public:
  OutputTableModel(const OutputTable& table, char decimalSeparator, QObject* parent = nullptr)
      : QAbstractTableModel(parent), table_(table), decimalSeparator_(decimalSeparator) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Runs a change of the table (such as a load) with the views told before and after, also
  // when the change fails.
  void ChangeTable(const std::function<void()>& change);

 private:
  const OutputTable& table_;
  char decimalSeparator_;
};

}  // namespace kvsorv
