// The table's CSV export read back by an independent CSV reader: names and units as written,
// every value the same double as in the table.

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "display/output_table.h"
#include "display/table_csv.h"
#include "support/model_fixture.h"
#include "support/output_file_writer.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180: fields separated by commas, records by CR LF; a quoted field may hold commas,
// line breaks and doubled quotes.
Rows ReadCsv(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      field += c;
    }
  }
  if (rows.back() == std::vector<std::string>(1)) rows.pop_back();  // after the last line end
  return rows;
}

double Number(const std::string& text) {
  double x = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), x);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
  return x;
}

class TableCsvTest : public testing::ModelTest {
 protected:
  testing::TempWorkDir dir;
};

TEST_F(TableCsvTest, NamesUnitsAndEveryValueComeBackExactly) {
  OutputTable table({{"Time", "year"}, {"C, \"labile\"", "g\r\nm-2"}, {"Plain", ""}});
  const std::vector<std::vector<double>> values = {{1600, 0.1, -1e-300},
                                                   {1601, 10000.4, 1.0 / 3.0},
                                                   {1602.5, -123456.789, 1.7976931348623157e308}};
  for (const auto& row : values) table.AppendRow(row);
  WriteTableCsv(table, dir.File("t.csv"));

  const Rows rows = ReadCsv(dir.Read("t.csv"));
  ASSERT_EQ(rows.size(), 2 + values.size());
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Time", "C, \"labile\"", "Plain"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"year", "g\r\nm-2", ""}));
  for (std::size_t r = 0; r < values.size(); ++r) {
    ASSERT_EQ(rows[2 + r].size(), 3u);
    for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(Number(rows[2 + r][c]), values[r][c]);
  }
}

TEST_F(TableCsvTest, AnOutputFileGivesItsCatalogueColumnsAndFullPrecision) {
  // 10000.4 shows as "1E+04" in the table; the CSV keeps what the file holds.
  testing::WriteOutputFile(dir.File("run.out"), {1600, 1601},
                           [](int r, int c) { return 10000.0 + 0.4 * r + c * 1e-6; });
  OutputTable table = OutputTable::ForCatalogue();
  ReadOutputTable(table, dir.File("run.out"), 0);
  WriteTableCsv(table, dir.File("run.csv"));
  const Rows rows = ReadCsv(dir.Read("run.csv"));
  ASSERT_EQ(rows.size(), 4u);
  ASSERT_EQ(rows[0].size(), 155u);
  EXPECT_EQ(rows[0][11], "Wood Carbon");
  EXPECT_EQ(rows[1][0], "year");
  EXPECT_EQ(Number(rows[3][11]), table.Value(1, 11));
  EXPECT_NEAR(Number(rows[3][11]), 10000.4 + 11e-6, 1e-8);
}

}  // namespace
}  // namespace kvsorv
