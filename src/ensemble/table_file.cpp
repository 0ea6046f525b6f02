#include "ensemble/table_file.h"

#include <fstream>

#include "files/csv_cells.h"
#include "files/csv_number.h"

namespace kvsorv::ensemble {

std::vector<double> ReadTableColumn(const std::filesystem::path& file, const std::string& column) {
  std::string quoted = "'";
  quoted += file.string();
  quoted += '\'';
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + quoted);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = CsvCells(line);
  std::size_t at = header.size();
  for (std::size_t i = 0; i < header.size(); ++i)
    if (header[i] == column) at = i;
  if (at == header.size()) throw std::runtime_error(quoted + " has no column '" + column + "'");
  std::vector<double> values;
  for (int row = 2; std::getline(in, line); ++row) {
    const std::string where = quoted + ", line " + std::to_string(row);
    const std::vector<std::string> cells = CsvCells(line);
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
