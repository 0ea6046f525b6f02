// The CSV reader: RFC 4180 texts read to their cells with the line each row starts on, and
// the two ways a text is not CSV.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/csv_table.h"

namespace kvsorv {
namespace {

using Cells = std::vector<std::vector<std::string>>;

struct ReadCase {
  const char* situation;
  std::string text;
  Cells cells;
  std::vector<int> lines;
};

TEST(CsvTable, Texts_ReadToCellsAndLines) {
  const ReadCase cases[] = {
      {.situation = "quoted header",
       .text = "\"x1\",\"x2\"\n1,2\n",
       .cells = {{"x1", "x2"}, {"1", "2"}},
       .lines = {1, 2}},
      {.situation = "doubled quotes",
       .text = "\"say \"\"hi\"\"\",b",
       .cells = {{"say \"hi\"", "b"}},
       .lines = {1}},
      {.situation = "CRLF",
       .text = "a,b\r\n1,2\r\n",
       .cells = {{"a", "b"}, {"1", "2"}},
       .lines = {1, 2}},
      {.situation = "byte-order mark",
       .text = "\xEF\xBB\xBF"
               "a,b\n",
       .cells = {{"a", "b"}},
       .lines = {1}},
      {.situation = "quoted comma", .text = "\"a,b\",c", .cells = {{"a,b", "c"}}, .lines = {1}},
      {.situation = "quoted line break",
       .text = "\"a\r\nb\",c\nd,e\n",
       .cells = {{"a\r\nb", "c"}, {"d", "e"}},
       .lines = {1, 3}},
      {.situation = "blanks trimmed unless quoted",
       .text = " a ,\t\" b \" , ,",
       .cells = {{"a", " b ", "", ""}},
       .lines = {1}},
      {.situation = "empty line",
       .text = "a\n\nb",
       .cells = {{"a"}, {}, {"b"}},
       .lines = {1, 2, 3}},
      {.situation = "empty file", .text = "", .cells = {}, .lines = {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.situation);
    const std::vector<CsvRow> rows = ParseCsv(c.text);
    Cells cells;
    std::vector<int> lines;
    for (const CsvRow& row : rows) {
      cells.push_back(row.cells);
      lines.push_back(row.line);
    }
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(CsvTable, CommentLines_KeptAsTextWhereAsked) {
  const std::string text = "# a,\"b\nc\n# d\n";
  const std::vector<CsvRow> every = ParseCsv(text, {.comments = CsvComments::kEveryLine});
  ASSERT_EQ(every.size(), 3u);
  EXPECT_TRUE(every[0].comment && every[2].comment);
  EXPECT_EQ(every[0].text, "# a,\"b");
  EXPECT_EQ(every[1].cells, std::vector<std::string>{"c"});
  const std::vector<CsvRow> first = ParseCsv(text, {.comments = CsvComments::kFirstLine});
  EXPECT_TRUE(first[0].comment);
  EXPECT_EQ(first[2].cells, std::vector<std::string>{"# d"});
}

struct FaultCase {
  const char* situation;
  std::string text;
  int line;
  CsvFault fault;
};

TEST(CsvTable, Malformed_NamesLineAndFault) {
  const FaultCase cases[] = {
      {.situation = "unterminated quote",
       .text = "a,b\n\"c,d\n1,2\n",
       .line = 2,
       .fault = CsvFault::kUnclosedQuote},
      {.situation = "text after the closing quote",
       .text = "a,b\n\"x\ny\"z,1\n",
       .line = 3,
       .fault = CsvFault::kTextAfterQuote},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.situation);
    try {
      ParseCsv(c.text);
      ADD_FAILURE() << "read without a fault";
    } catch (const ECsvSyntax& e) {
      EXPECT_EQ(e.Line(), c.line);
      EXPECT_EQ(e.Fault(), c.fault);
      EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u);
    }
  }
}

TEST(CsvTable, Field_QuotedOnlyWhereReadingNeedsIt) {
  const std::vector<std::string> cells = {"Wood Carbon", "a,b",   "say \"x\"",
                                          "two\nlines",  " edge", ""};
  std::string line;
  for (const std::string& cell : cells) line += (line.empty() ? "" : ",") + CsvField(cell);
  EXPECT_EQ(line, "Wood Carbon,\"a,b\",\"say \"\"x\"\"\",\"two\nlines\",\" edge\",");
  EXPECT_EQ(CsvCells(line), cells);
}

}  // namespace
}  // namespace kvsorv
