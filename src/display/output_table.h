#pragma once
// The output display's table: one column per quantity of the output file (time, drivers,
// states, processes) and one row per output record, holding the file's values as read. Texts
// are made only when a cell is shown: "%.4g", the general format with 4 significant digits,
// except for the time, which has as many (up to 15) as its largest value and smallest step
// need, so records 0.2 or 0.25 apart read apart.

#include <string>
#include <string_view>
#include <vector>

namespace kvsorv {

struct TableColumn {
  std::string name;   // "Time", then each driver's, state's and process's name
  std::string units;  // ModelDef.timeunit, then each one's units
};

class OutputTable {
 public:
  // No columns and no rows.
  OutputTable() = default;
  explicit OutputTable(std::vector<TableColumn> columns) : columns_(std::move(columns)) {}

  // The columns of the catalogue in the global tables: time, then drivers 1..numdrivers,
  // states 1..numstate and processes 1..numprocess.
  static OutputTable ForCatalogue();

  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int RowCount() const { return rowCount_; }
  const TableColumn& Column(int column) const { return columns_[static_cast<std::size_t>(column)]; }

  // The value of a data row (from 0) in a column, as the file holds it.
  double Value(int row, int column) const {
    return values_[static_cast<std::size_t>(row) * columns_.size() +
                   static_cast<std::size_t>(column)];
  }
  // The same written "%.4g" (the time with TimeDigits()), with the given decimal separator.
  std::string CellText(int row, int column, char decimalSeparator = '.') const;

  // Significant digits of the time column: the whole digits of the largest time and the
  // decimals of the smallest step between records, from 4 to 15.
  int TimeDigits() const;

  // The last column whose name equals `name` exactly, or -1.
  int FindColumn(std::string_view name) const;

  // Drops every row.
  void Clear();
  // Appends a row; `values` holds one value per column.
  void AppendRow(const std::vector<double>& values);

 private:
  std::vector<TableColumn> columns_;
  std::vector<double> values_;  // row after row
  int rowCount_ = 0;
  static constexpr int kCellDigits = 4;
  static constexpr int kMostTimeDigits = 15;
  // Relative precision of the times as the file holds them (15 digits), with room to spare.
  static constexpr double kTimePrecision = 1e-10;
  double smallestStep_ = 0.0;  // between successive records; 0 before two differ
  double largestTime_ = 0.0;   // in magnitude
};

// Reads an output file into the table after its rows, skipping records timed before
// `startTime`. The records are read into copies of the global tables, which stay untouched.
// Failures: EInOutError when the file cannot be opened or read; the rows read before it stay.
void ReadOutputTable(OutputTable& table, const std::string& fileName, double startTime);

}  // namespace kvsorv
