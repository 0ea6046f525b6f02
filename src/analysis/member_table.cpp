#include "analysis/member_table.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "files/csv_cells.h"
#include "files/csv_number.h"
#include "files/file_errors.h"

namespace kvsorv::analysis {

std::vector<double> MemberTable::Column(std::size_t c) const {
  std::vector<double> values;
  for (const auto& row : rows) values.push_back(row.at(c));
  return values;
}

MemberTable ReadMemberTable(const std::string& fileName) {
  RequireRegularFile(fileName);
  std::ifstream in(fileName);
  if (!in) throw std::runtime_error("Cannot open file '" + fileName + "'");
  MemberTable t;
  std::string line;
  if (!std::getline(in, line)) throw std::runtime_error(fileName + ": the file is empty");
  if (line.rfind("# ", 0) == 0) line.erase(0, 2);
  t.names = CsvCells(line);
  for (int n = 2; std::getline(in, line); ++n) {
    if (line.empty() || line == "\r") continue;
    const std::vector<std::string> cells = CsvCells(line);
    if (cells.size() != t.names.size())
      throw std::runtime_error(fileName + ", line " + std::to_string(n) + ": " +
                               std::to_string(cells.size()) + " values where the header names " +
                               std::to_string(t.names.size()) + " columns");
    std::vector<double> row;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const CsvNumber x = ReadCsvNumber(cells[c]);
      // A number in another form than decimal, or one that would read as 0, is a mistake in
      // the table, not a failed member.
      if (x.fault == CsvNumberFault::kNotDecimal || x.fault == CsvNumberFault::kUnderflow)
        throw std::runtime_error(fileName + ", line " + std::to_string(n) + ", column '" +
                                 t.names[c] + "': " + x.problem);
      row.push_back(x.problem.empty() ? x.value : std::numeric_limits<double>::quiet_NaN());
    }
    t.rows.push_back(std::move(row));
    t.lines.push_back(n);
  }
  return t;
}

}  // namespace kvsorv::analysis
