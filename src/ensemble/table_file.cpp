#include "ensemble/table_file.h"

#include <fstream>

#include "files/csv_number.h"
#include "files/csv_table.h"

namespace kvsorv::ensemble {

std::vector<double> ReadTableColumn(const std::filesystem::path& file, const std::string& column) {
  std::string quoted = "'";
  quoted += file.string();
  quoted += '\'';
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + quoted);
  std::vector<CsvRow> rows;
  try {
    rows = ReadCsv(in);
  } catch (const ECsvSyntax& e) {
    throw std::runtime_error(quoted + ", " + e.what());
  }
  const std::vector<std::string> header = rows.empty() ? std::vector<std::string>{} : rows[0].cells;
  std::size_t at = header.size();
  for (std::size_t i = 0; i < header.size(); ++i)
    if (header[i] == column) at = i;
  if (at == header.size()) throw std::runtime_error(quoted + " has no column '" + column + "'");
  std::vector<double> values;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::string where = quoted + ", line " + std::to_string(rows[r].line);
    const std::vector<std::string>& cells = rows[r].cells;
    // A row of another length has its cells in other columns than the header says.
    if (cells.size() != header.size())
      throw std::runtime_error(where + ": " + std::to_string(cells.size()) +
                               " cells where the header names " + std::to_string(header.size()) +
                               " columns");
    const CsvNumber x = ReadCsvNumber(cells[at]);
    if (!x.problem.empty())
      throw std::runtime_error(where + ", column '" + column + "': " + x.problem);
    values.push_back(x.value);
  }
  return values;
}

}  // namespace kvsorv::ensemble
