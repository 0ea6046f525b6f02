#include "ensemble/design_file.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

#include "files/csv_number.h"
#include "files/csv_table.h"
#include "files/file_errors.h"
#include "files/text_writer.h"

namespace kvsorv::ensemble {

void WriteDesign(const std::string& fileName, const Design& design) {
  TextWriter file(fileName);
  std::string line = "# ";
  for (std::size_t j = 0; j < design.symbols.size(); ++j) {
    if (j > 0) line += ',';
    line += CsvField(design.symbols[j]);
  }
  file.Write(line);
  file.Write(std::string("\n# design: ") + MethodName(design.method) + "\n");
  std::array<char, 32> number{};
  for (const auto& row : design.rows) {
    line.clear();
    for (std::size_t j = 0; j < row.size(); ++j) {
      const auto r = std::to_chars(number.data(), number.data() + number.size(), row[j],
                                   std::chars_format::general, 17);
      if (j > 0) line += ',';
      line.append(number.data(), r.ptr);
    }
    file.Write(line);
    file.Write("\n");
  }
  file.Close();
}

Design ReadDesign(const std::string& fileName, const EnsemblePlan& plan) {
  RequireRegularFile(fileName);
  std::ifstream in(fileName);
  if (!in) throw FileAccessErrorFromErrno("open", fileName);
  const auto fail = [&](int line, const std::string& what) {
    throw EPlanError(fileName + ", line " + std::to_string(line) + ": " + what);
  };
  std::vector<CsvRow> rows;
  try {
    rows = ReadCsv(in, {.comments = CsvComments::kEveryLine});
  } catch (const ECsvSyntax& e) {
    fail(e.Line(), e.Problem());
  }
  Design d;
  for (const VariedParameter& v : plan.parameters) d.symbols.push_back(v.symbol);
  if (rows.empty() || rows[0].text.rfind("# ", 0) != 0)
    fail(1, "the first line must name the columns, as \"# symbol,symbol,...\"");
  try {
    if (CsvCells(std::string_view(rows[0].text).substr(2)) != d.symbols) {
      std::string wanted;
      for (const auto& s : d.symbols) wanted += (wanted.empty() ? "" : ",") + s;
      fail(1, "the columns do not match the plan's parameters (" + wanted + ")");
    }
  } catch (const ECsvSyntax& e) {
    fail(1, e.Problem());
  }
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const int n = rows[r].line;
    if (rows[r].comment) {
      if (rows[r].text.rfind("# design: ", 0) != 0) continue;
      const std::string name = rows[r].text.substr(10);
      const std::optional<Method> method = MethodNamed(name);
      if (!method) fail(n, "'" + name + "' is not a design (mc, lhs, sobol, morris or oat)");
      d.method = *method;
      continue;
    }
    const std::vector<std::string>& cells = rows[r].cells;
    if (cells.empty()) continue;
    if (cells.size() != d.symbols.size())
      fail(n, std::to_string(cells.size()) + " values where the plan varies " +
                  std::to_string(d.symbols.size()) + " parameters");
    std::vector<double> row;
    for (std::size_t j = 0; j < cells.size(); ++j) {
      // No member can run on a value that is no finite number: refused before any starts.
      const CsvNumber x = ReadCsvNumber(cells[j]);
      if (!x.problem.empty())
        throw EPlanError(fileName + ", line " + std::to_string(n) + ", column '" + d.symbols[j] +
                         "': " + x.problem);
      row.push_back(x.value);
    }
    d.rows.push_back(std::move(row));
  }
  if (d.rows.empty()) fail(1, "the design has no rows");
  return d;
}

}  // namespace kvsorv::ensemble
