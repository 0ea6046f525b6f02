// Every kind of CSV the program writes, with names that need quoting, read back by the
// program's reader and by Python's csv module to the same cells.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/analysis_csv.h"
#include "charts/ensemble_charts_csv.h"
#include "display/table_csv.h"
#include "ensemble/design_file.h"
#include "files/csv_table.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
const std::string kNamed = "p,\"q\"";  // a comma and quotes

// Rows other than comment lines, cells joined by US and rows by RS.
constexpr const char* kPythonScript =
    "import csv, sys\n"
    "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
    "    rows = [r for r in csv.reader(f) if r and not r[0].startswith('#')]\n"
    "with open(sys.argv[2], 'w', newline='', encoding='utf-8') as out:\n"
    "    out.write('\\x1e'.join('\\x1f'.join(r) for r in rows))\n";

std::string Joined(const std::vector<CsvRow>& rows) {
  std::string text;
  bool firstRow = true;
  for (const CsvRow& row : rows) {
    if (row.comment || row.cells.empty()) continue;
    if (!firstRow) text += '\x1e';
    firstRow = false;
    for (std::size_t c = 0; c < row.cells.size(); ++c) text += (c > 0 ? "\x1f" : "") + row.cells[c];
  }
  return text;
}

std::string ReadAll(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file written, and where in it the name that needs quoting is.
struct Written {
  const char* file;
  std::size_t row;  // 0 for the header
  std::size_t column;
};

TEST(CsvRoundTrip, WrittenFiles_ReadBackAlikeByBothReaders) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  const testing::TempWorkDir dir;
  dir.Write("cells.py", kPythonScript);

  OutputTable table({{"Time", "yr"}, {kNamed, "g \"C\""}});
  table.AppendRow({1.0, 2.5});
  WriteTableCsv(table, dir.File("table.csv"));
  analysis::WriteFailuresCsv(dir.File("failures.csv"),
                             {{.parameter = kNamed, .failed = 1, .done = 2}});
  WriteTornadoChartCsv(dir.File("tornado.csv"),
                       {.titles = {}, .bars = {{.parameter = kNamed, .low = 0.0, .high = 1.0}}});
  ensemble::WriteDesign(
      dir.File("design.csv"),
      {.method = ensemble::Method::kMonteCarlo, .symbols = {"mf", kNamed}, .rows = {{1.0, 2.0}}});

  const Written written[] = {
      {.file = "table.csv", .row = 0, .column = 1},
      {.file = "failures.csv", .row = 1, .column = 0},
      {.file = "tornado.csv", .row = 1, .column = 0},
      {.file = "design.csv", .row = 0, .column = 1},  // its header is a comment line
  };
  for (const Written& w : written) {
    SCOPED_TRACE(w.file);
    std::ifstream in(dir.File(w.file), std::ios::binary);
    const std::vector<CsvRow> rows = ReadCsv(in, {.comments = CsvComments::kEveryLine});
    ASSERT_GT(rows.size(), w.row);
    const std::vector<std::string> cells =
        rows[w.row].comment ? CsvCells(rows[w.row].text.substr(2)) : rows[w.row].cells;
    ASSERT_GT(cells.size(), w.column);
    EXPECT_EQ(cells[w.column], kNamed);
    const std::string command = std::string(kPython) + " cells.py " + w.file + " cells.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Joined(rows), ReadAll(dir.File("cells.txt")));
  }
}

}  // namespace
}  // namespace kvsorv
