#include "display/output_table.h"

#include <cstdlib>
#include <memory>

#include "files/file_channel.h"
#include "files/number_text.h"
#include "files/output_file.h"
#include "model/globals.h"

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
  const double value = Value(row, column);
  int digits = kCellDigits;
  if (column == 0) {
    // The fewest digits that write the time as 15 digits do, so that records a step of 0.2
    // or 0.25 apart read apart, and a time summed up in steps reads as it was meant
    // (10000 reads "10000", not "1E+04".)
    const std::string full = FormatGeneral(value, kMostTimeDigits);
    const double exact = std::strtod(full.c_str(), nullptr);
    const bool scientific = full.find('E') != std::string::npos;
    for (; digits < kMostTimeDigits; ++digits) {
      const std::string text = FormatGeneral(value, digits);
      if (std::strtod(text.c_str(), nullptr) == exact &&
          (text.find('E') != std::string::npos) == scientific)
        break;
    }
  }
  return FormatGeneral(value, digits, {.decimalSeparator = decimalSeparator});
}

int OutputTable::FindColumn(std::string_view name) const {
  for (int c = ColumnCount() - 1; c >= 0; --c)
    if (Column(c).name == name) return c;
  return -1;
}

void OutputTable::Clear() {
  values_.clear();
  rowCount_ = 0;
}

void OutputTable::AppendRow(const std::vector<double>& values) {
  values_.insert(values_.end(), values.begin(), values.begin() + ColumnCount());
  ++rowCount_;
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
