#include "analysis/member_table.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "files/csv_number.h"
#include "files/csv_table.h"
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
  std::vector<CsvRow> rows;
  std::vector<std::string> names;
  try {
    rows = ReadCsv(in, {.comments = CsvComments::kFirstLine});
    if (rows.empty()) throw std::runtime_error(fileName + ": the file is empty");
    if (!rows[0].comment)
      names = rows[0].cells;
    else if (rows[0].text.rfind("# ", 0) == 0)
      names = CsvCells(std::string_view(rows[0].text).substr(2));
    else
      names = CsvCells(rows[0].text);
  } catch (const ECsvSyntax& e) {
    throw std::runtime_error(fileName + ", " + e.what());
  }
  MemberTable t;
  t.names = std::move(names);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const int n = rows[r].line;
    const std::vector<std::string>& cells = rows[r].cells;
    if (cells.empty()) continue;
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
