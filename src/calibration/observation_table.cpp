#include "calibration/observation_table.h"

#include <cmath>
#include <fstream>
#include <map>

#include "files/csv_number.h"
#include "files/csv_table.h"
#include "files/file_errors.h"

namespace kvsorv::calibration {

namespace {

// The columns of the header, by name; -1 for one that is absent.
struct Columns {
  int time = -1, output = -1, value = -1, sd = -1, relativeError = -1, cell = -1;
};

Columns ReadHeader(const std::string& fileName, const CsvRow& header) {
  const std::string where = fileName + ", line " + std::to_string(header.line) + ": ";
  Columns c;
  const std::map<std::string, int*> known = {{"time", &c.time},
                                             {"output", &c.output},
                                             {"value", &c.value},
                                             {"sd", &c.sd},
                                             {"relative_error", &c.relativeError},
                                             {"cell", &c.cell}};
  for (std::size_t i = 0; i < header.cells.size(); ++i) {
    const auto k = known.find(header.cells[i]);
    if (k == known.end())
      throw EObservationError(where + "unknown column '" + header.cells[i] +
                              "' (time, output, value, sd, relative_error, cell)");
    if (*k->second >= 0) throw EObservationError(where + "column '" + k->first + "' twice");
    *k->second = static_cast<int>(i);
  }
  for (const auto& [name, column] :
       {std::pair{"time", c.time}, std::pair{"output", c.output}, std::pair{"value", c.value}})
    if (column < 0) throw EObservationError(where + "no column '" + name + "'");
  if (c.sd < 0 && c.relativeError < 0)
    throw EObservationError(where + "no error column: give 'sd' or 'relative_error'");
  return c;
}

class RowReader {
 public:
  RowReader(const std::string& fileName, const CsvRow& row) : row_(row) {
    where_ = fileName + ", line " + std::to_string(row.line) + ": ";
  }

  [[noreturn]] void Fail(const std::string& what) const { throw EObservationError(where_ + what); }

  const std::string& Cell(int column) const { return row_.cells[static_cast<std::size_t>(column)]; }

  // The column's number; nullopt for an empty cell when `optional`.
  std::optional<double> Number(int column, const char* name, bool optional = false) const {
    if (column < 0) return std::nullopt;
    const std::string& text = Cell(column);
    if (text.empty() && optional) return std::nullopt;
    const CsvNumber n = ReadCsvNumber(text);
    if (n.fault != CsvNumberFault::kNone || !std::isfinite(n.value))
      Fail(std::string(name) + " '" + text + "' is not a finite number");
    return n.value;
  }

 private:
  const CsvRow& row_;
  std::string where_;
};

ObservationRow ReadRow(const std::string& fileName, const CsvRow& row, const Columns& c) {
  const RowReader r(fileName, row);
  ObservationRow o;
  o.line = row.line;
  o.time = *r.Number(c.time, "time");
  o.symbol = r.Cell(c.output);
  const std::optional<OutputQuantity> q = FindOutputQuantity(o.symbol);
  if (!q) r.Fail("output '" + o.symbol + "': no state, process or driver has this symbol");
  o.kind = q->kind;
  o.index = q->index;
  o.value = *r.Number(c.value, "value");
  o.sd = r.Number(c.sd, "sd", true);
  o.relativeError = r.Number(c.relativeError, "relative_error", true);
  if (o.sd.has_value() == o.relativeError.has_value())
    r.Fail(o.sd ? "give the error as sd or as relative_error, not both"
                : "no error: give sd or relative_error");
  if (o.sd && !(*o.sd > 0)) r.Fail("the error (sd) must be greater than 0");
  if (o.relativeError && !(*o.relativeError > 0))
    r.Fail("the error (relative_error) must be greater than 0");
  if (o.relativeError && o.value == 0)
    r.Fail("a relative error of a value of 0 is no error; give sd");
  if (const std::optional<double> cell = r.Number(c.cell, "cell", true)) {
    if (*cell != std::floor(*cell) || *cell < 1 || *cell > 100000)
      r.Fail("cell must be a whole number of at least 1");
    o.cell = static_cast<int>(*cell);
  }
  return o;
}

}  // namespace

std::vector<ObservationRow> ReadObservationTable(const std::string& fileName) {
  std::vector<CsvRow> rows;
  try {
    RequireRegularFile(fileName);
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw std::runtime_error(fileName + ": cannot be opened");
    rows = ReadCsv(in, {.comments = CsvComments::kEveryLine});
  } catch (const ECsvSyntax& e) {
    throw EObservationError(fileName + ", " + e.what());
  } catch (const std::exception& e) {
    throw EObservationError(e.what());
  }
  std::erase_if(rows, [](const CsvRow& r) {
    return r.comment || r.cells.empty() || (r.cells.size() == 1 && r.cells[0].empty());
  });
  if (rows.empty()) throw EObservationError(fileName + ": holds no header and no observations");
  const Columns columns = ReadHeader(fileName, rows.front());
  std::vector<ObservationRow> observations;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].cells.size() != rows.front().cells.size())
      throw EObservationError(fileName + ", line " + std::to_string(rows[i].line) + ": " +
                              std::to_string(rows[i].cells.size()) +
                              " cells where the header names " +
                              std::to_string(rows.front().cells.size()) + " columns");
    observations.push_back(ReadRow(fileName, rows[i], columns));
  }
  if (observations.empty()) throw EObservationError(fileName + ": holds no observations");
  return observations;
}

}  // namespace kvsorv::calibration
