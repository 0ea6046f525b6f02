#include "display/output_table.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "files/file_channel.h"
#include "files/number_text.h"
#include "files/output_file.h"
#include "program/global_tables.h"

namespace kvsorv {

OutputTable OutputTable::ForCatalogue() {
  std::vector<TableColumn> columns;
  columns.reserve(
      static_cast<std::size_t>(1 + ModelDef.numdrivers + ModelDef.numstate + ModelDef.numprocess));
  columns.push_back({"Time", ModelDef.timeunit});
  for (int i = 1; i <= ModelDef.numdrivers; ++i)
    columns.push_back({Drivers[i].name, Drivers[i].units});
  for (int i = 1; i <= ModelDef.numstate; ++i) columns.push_back({States[i].name, States[i].units});
  for (int i = 1; i <= ModelDef.numprocess; ++i)
    columns.push_back({Processes[i].name, Processes[i].units});
  return OutputTable(std::move(columns));
}

std::string OutputTable::CellText(int row, int column, char decimalSeparator) const {
  const int digits = column == 0 ? TimeDigits() : kCellDigits;
  return FormatGeneral(Value(row, column), digits, {.decimalSeparator = decimalSeparator});
}

int OutputTable::TimeDigits() const {
  if (!(smallestStep_ > 0.0) || !std::isfinite(smallestStep_)) return kCellDigits;
  // The decimals of the smallest step, where a step that differs from a shorter decimal only
  // by what the times' own precision explains counts as that decimal (0.99999999997 as 1).
  const double tolerance = kTimePrecision * std::max(largestTime_, smallestStep_);
  int decimals = 0;
  for (double scale = 1.0;
       decimals < kMostTimeDigits &&
       std::fabs(smallestStep_ - std::nearbyint(smallestStep_ * scale) / scale) > tolerance;
       scale *= 10.0)
    ++decimals;
  const int whole =
      largestTime_ >= 1.0 ? static_cast<int>(std::floor(std::log10(largestTime_))) + 1 : 1;
  return std::clamp(whole + decimals, kCellDigits, kMostTimeDigits);
}

int OutputTable::FindColumn(std::string_view name) const {
  for (int c = ColumnCount() - 1; c >= 0; --c)
    if (Column(c).name == name) return c;
  return -1;
}

void OutputTable::Clear() {
  values_.clear();
  rowCount_ = 0;
  smallestStep_ = 0.0;
  largestTime_ = 0.0;
}

void OutputTable::AppendRow(const std::vector<double>& values) {
  values_.insert(values_.end(), values.begin(), values.begin() + ColumnCount());
  ++rowCount_;
  if (ColumnCount() == 0) return;
  const double time = Value(rowCount_ - 1, 0);
  if (std::isfinite(time)) largestTime_ = std::max(largestTime_, std::fabs(time));
  if (rowCount_ < 2) return;
  const double step = std::fabs(time - Value(rowCount_ - 2, 0));
  // Times that differ only by their own precision are one time.
  if (step > kTimePrecision * std::max(1.0, std::fabs(time)) && std::isfinite(step) &&
      (smallestStep_ == 0.0 || step < smallestStep_))
    smallestStep_ = step;
}

void ReadOutputTable(OutputTable& table, const std::string& fileName, double startTime) {
  // Working copies: reading fills their values only.
  auto drivers = std::make_unique<drivearray>(Drivers);
  auto states = std::make_unique<statearray>(States);
  auto processes = std::make_unique<processarray>(Processes);
  const int d = ModelDef.numdrivers, s = ModelDef.numstate, p = ModelDef.numprocess;
  std::vector<double> row(static_cast<std::size_t>(table.ColumnCount()), 0.0);
  FileChannel channel("output");
  OpenOutputFile(channel, fileName, *drivers, s, *states, p, *processes, false);
  try {
    double time = 0.0;
    while (ReadWholeOutputLine(channel, time, *drivers, s, *states, p, *processes)) {
      if (time < startTime) continue;
      std::size_t k = 0;
      const auto put = [&](double v) {
        if (k < row.size()) row[k] = v;
        ++k;
      };
      put(time);
      for (int i = 1; i <= d; ++i) put((*drivers)[i].value);
      for (int i = 1; i <= s; ++i) put((*states)[i].value);
      for (int i = 1; i <= p; ++i) put((*processes)[i].value);
      table.AppendRow(row);
    }
  } catch (...) {
    channel.Abandon();
    throw;
  }
  CloseOutputFile(channel);
}

}  // namespace kvsorv
