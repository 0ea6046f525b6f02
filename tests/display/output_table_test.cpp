// Reading an output file into the display's table, and the table as an item model: the
// records kept, the values as the file holds them, the texts as the grid shows them.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/output_table.h"
#include "display/output_table_model.h"
#include "model/errors.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"
#include "support/output_file_writer.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

class OutputTableTest : public testing::ModelTest {
 protected:
  // Records at times 0..3; every value of record r is 100 r + column + 0.456.
  void WriteFourRecords() {
    testing::WriteOutputFile(file, {0, 1, 2, 3},
                             [](int r, int c) { return 100.0 * r + c + 0.456; });
  }
  testing::TempWorkDir dir;
  std::string file = dir.File("run.out");
};

TEST_F(OutputTableTest, KeepsRecordsFromStartTimeWithTheFilesValues) {
  WriteFourRecords();
  const statearray statesBefore = States;
  struct Case {
    double startTime;
    std::vector<double> times;
  };
  const Case cases[] = {{.startTime = 0, .times = {0, 1, 2, 3}},
                        {.startTime = 1.5, .times = {2, 3}},
                        {.startTime = 3, .times = {3}},
                        {.startTime = 4, .times = {}}};
  for (const Case& c : cases) {
    OutputTable table = OutputTable::ForCatalogue();
    ReadOutputTable(table, file, c.startTime);
    ASSERT_EQ(table.RowCount(), static_cast<int>(c.times.size())) << c.startTime;
    for (int r = 0; r < table.RowCount(); ++r) {
      EXPECT_EQ(table.Value(r, 0), c.times[static_cast<std::size_t>(r)]);
      // 13 significant digits in the file give these values back exactly.
      EXPECT_EQ(table.Value(r, 154), 100.0 * c.times[static_cast<std::size_t>(r)] + 154.456);
    }
  }
  EXPECT_EQ(States, statesBefore);  // read into copies
}

TEST_F(OutputTableTest, AFailedReadKeepsTheRowsReadBeforeIt) {
  WriteFourRecords();
  dir.Write("run.out", dir.Read("run.out") + "4 not-a-number\r\n");
  OutputTable table = OutputTable::ForCatalogue();
  EXPECT_THROW(ReadOutputTable(table, file, 0), EInOutError);
  EXPECT_EQ(table.RowCount(), 4);
  EXPECT_THROW(ReadOutputTable(table, dir.File("missing.out"), 0), EInOutError);
  EXPECT_EQ(table.RowCount(), 4);
}

// A record cut short is never read as values shifted from the next line or as zeros: the
// table stops before it, and the message names its line.
TEST_F(OutputTableTest, ACutRecord_StopsTheTableNamingItsLine) {
  WriteFourRecords();
  const std::string whole = dir.Read("run.out");
  std::vector<std::size_t> ends;  // the end of each line's CR LF
  for (std::size_t at = whole.find("\r\n"); at != std::string::npos;
       at = whole.find("\r\n", at + 2))
    ends.push_back(at + 2);
  ASSERT_EQ(ends.size(), 6u);  // two header lines, four records
  const std::string third = whole.substr(ends[3], ends[4] - ends[3]);
  struct Case {
    std::string text;
    int rows;
    std::string message;
  };
  const Case cases[] = {
      {whole.substr(0, ends[3]) + third.substr(0, third.size() / 2) + "\r\n" +
           whole.substr(ends[4]),
       2, "line 5: the record holds"},
      {whole.substr(0, whole.size() - 9), 3, "line 6: the record is cut off before its line end"},
      {whole.substr(0, ends[4] + 30), 3, "line 6: the record holds 2 of its"},
      // Cut within its last value, the line end kept: the numbers alone read as good.
      {whole.substr(0, ends[3] - 12) + "\r\n" + whole.substr(ends[3]), 1,
       "line 4: the record is 3245 characters long, the file's lines 3255"},
      {whole.substr(0, ends[3]) + "   \r\n" + whole.substr(ends[3]), 2,
       "line 5: the line is blank where a record belongs"},
      {whole.substr(0, ends[4]) + "        ", 3, "line 6: the record is cut off: only blanks"},
      {whole.substr(0, ends[3] - 2) + whole.substr(ends[3]), 1,
       "line 4: the record is 6510 characters long"},
      // The units line lost: the first record would be skipped as if it were the units.
      {whole.substr(0, ends[0]) + whole.substr(ends[1]), 0,
       "line 2: a record where the header's units belong"},
  };
  for (const Case& c : cases) {
    dir.Write("run.out", c.text);
    OutputTable table = OutputTable::ForCatalogue();
    try {
      ReadOutputTable(table, file, 0);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EInOutError& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    EXPECT_EQ(table.RowCount(), c.rows) << c.message;
  }
}

TEST(OutputTableColumns, FindColumnTakesTheLastExactMatch) {
  const OutputTable table({{"A", ""}, {"B", ""}, {"A", ""}});
  EXPECT_EQ(table.FindColumn("A"), 2);
  EXPECT_EQ(table.FindColumn("B"), 1);
  EXPECT_EQ(table.FindColumn("a"), -1);
  EXPECT_EQ(table.FindColumn(""), -1);
}

TEST(OutputTableModelRows, IndexNameUnitsThenFourDigitTexts) {
  OutputTable table({{"Time", "year"}, {"Wood Carbon", "gC m-2ground"}});
  const std::vector<std::pair<double, const char*>> values = {
      {123.456, "123.5"}, {10000.4, "1E+04"}, {-0.0000012346, "-1.235E-06"}, {0, "0"}};
  for (const auto& [value, text] : values) table.AppendRow({1600, value});
  const OutputTableModel model(table, ',');
  ASSERT_EQ(model.rowCount(), 3 + static_cast<int>(values.size()));
  ASSERT_EQ(model.columnCount(), 2);
  const auto cell = [&](int r, int c) {
    return model.data(model.index(r, c), Qt::DisplayRole).toString().toStdString();
  };
  EXPECT_EQ(cell(0, 1), "1");
  EXPECT_EQ(cell(1, 1), "Wood Carbon");
  EXPECT_EQ(cell(2, 0), "year");
  EXPECT_EQ(cell(2, 1), "gC m-2ground");
  for (int r = 0; r < static_cast<int>(values.size()); ++r) {
    std::string expected = values[static_cast<std::size_t>(r)].second;
    for (char& ch : expected)
      if (ch == '.') ch = ',';  // the separator the model was given
    EXPECT_EQ(cell(3 + r, 1), expected);
    EXPECT_EQ(cell(3 + r, 0), "1600");
  }
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
            "1\nWood Carbon");
}

TEST(OutputTableTimes, DigitsEnoughForTheLargestTimeAndTheSmallestStep) {
  struct Case {
    const char* what;
    std::vector<double> times;
    std::vector<const char*> texts;
  };
  const Case cases[] = {
      {.what = "yearly records keep four digits",
       .times = {1600, 1601, 1602},
       .texts = {"1600", "1601", "1602"}},
      {.what = "a step of 0.2 from 1600",
       .times = {1600, 1600.2, 1600.4},
       .texts = {"1600", "1600.2", "1600.4"}},
      {.what = "times summed up in steps of 0.1",
       .times = {1600.1, 1600.1 + 0.1, 1600.1 + 0.1 + 0.1},
       .texts = {"1600.1", "1600.2", "1600.3"}},
      {.what = "thirds as far as the times' precision goes",
       .times = {1600.0, 1600.0 + 1.0 / 3.0},
       .texts = {"1600", "1600.3333333"}},
      {.what = "yearly records summed up with a small error read as whole years",
       .times = {1600.99999997597, 1601.99999997594},
       .texts = {"1601", "1602"}},
      {.what = "six-digit years in full", .times = {100000, 100001}, .texts = {"100000", "100001"}},
      {.what = "a step of 0.25 after 1e4",
       .times = {10000, 10000.25},
       .texts = {"10000", "10000.25"}},
  };
  for (const Case& c : cases) {
    OutputTable table({{"Time", "year"}, {"Cf", "gC"}});
    for (double t : c.times) table.AppendRow({t, 1.0});
    for (std::size_t r = 0; r < c.texts.size(); ++r)
      EXPECT_EQ(table.CellText(static_cast<int>(r), 0), c.texts[r]) << c.what;
    EXPECT_EQ(table.CellText(0, 1), "1") << c.what << ": other columns keep four digits";
  }
}

}  // namespace
}  // namespace kvsorv
