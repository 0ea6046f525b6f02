#include "files/observations_file.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "files/csv_number.h"
#include "files/csv_table.h"
#include "files/file_errors.h"

namespace kvsorv {

namespace {

// The cell as a finite decimal number; nullopt when it is anything else ("0x50" too).
std::optional<double> NumberIn(const std::string& cell) {
  const CsvNumber number = ReadCsvNumber(cell);
  if (number.fault != CsvNumberFault::kNone) return std::nullopt;
  return number.value;
}

}  // namespace

ObservedPoints ReadObservations(const std::string& fileName, const std::string& output) {
  RequireRegularFile(fileName);
  std::ifstream in(fileName);
  if (!in) throw std::runtime_error("Cannot open file '" + fileName + "'");
  std::vector<CsvRow> rows;
  try {
    rows = ReadCsv(in);
  } catch (const ECsvSyntax& e) {
    throw std::runtime_error(fileName + ", " + e.what());
  }
  if (rows.empty()) throw std::runtime_error(fileName + ": the file is empty");
  const std::vector<std::string>& names = rows[0].cells;
  if (names.size() < 2 || names.front() != "time")
    throw std::runtime_error(fileName + ", line 1: the header must be \"time,<output>[,...]\"");
  std::size_t column = 0;
  for (std::size_t c = 1; c < names.size(); ++c)
    if (names[c] == output) column = c;
  if (column == 0 && names.size() == 2) column = 1;
  if (column == 0) {
    std::string held;
    for (std::size_t c = 1; c < names.size(); ++c) held += (c > 1 ? ", " : "") + names[c];
    throw std::runtime_error(fileName + ": no column '" + output + "'; it has " + held);
  }

  ObservedPoints points{.legend = "observed", .times = {}, .values = {}};
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::vector<std::string>& cells = rows[r].cells;
    // A line of blanks alone is no observation.
    if (cells.empty() || (cells.size() == 1 && cells[0].empty())) continue;
    const std::string where = fileName + ", line " + std::to_string(rows[r].line) + ": ";
    if (cells.size() != names.size())
      throw std::runtime_error(where + std::to_string(cells.size()) +
                               " cells where the header names " + std::to_string(names.size()) +
                               " columns");
    const std::optional<double> time = NumberIn(cells[0]);
    if (!time) throw std::runtime_error(where + "the time '" + cells[0] + "' is not a number");
    const std::string& cell = cells[column];
    if (cell.empty()) continue;
    const std::optional<double> value = NumberIn(cell);
    if (!value)
      throw std::runtime_error(where + "the value '" + cell + "' of " + names[column] +
                               " is not a number");
    points.times.push_back(*time);
    points.values.push_back(*value);
  }
  return points;
}

}  // namespace kvsorv
