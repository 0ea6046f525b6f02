#pragma once
// Comma-separated text read into rows of cells, as RFC 4180 writes it: a cell in double quotes
// may hold commas, line breaks and doubled quotes (""), lines end in LF or CRLF, and a UTF-8
// byte-order mark at the start is skipped. Blanks (spaces, tabs) around a cell are dropped;
// inside quotes they are kept. A quote within an unquoted cell is taken as it stands.

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvsorv {

struct CsvRow {
  std::vector<std::string> cells;  // none for an empty line
  int line = 0;                    // the line (from 1) the row starts on
  bool comment = false;            // a comment line: `text` holds it, `cells` is empty
  std::string text;                // a comment line's text, '#' included, without its line end
};

enum class CsvComments {
  kNone,       // '#' is an ordinary character
  kFirstLine,  // a first line starting with '#' is a comment
  kEveryLine,  // every line starting with '#' (outside a quoted cell) is a comment
};

struct CsvSyntax {
  CsvComments comments = CsvComments::kNone;
};

enum class CsvFault {
  kUnclosedQuote,   // the file ends inside a quoted cell
  kTextAfterQuote,  // "ab"c: anything but blanks between a closing quote and the comma
};

// A text that is not comma-separated values. what(): "line 3: a quote opened here is never
// closed", the form a reader puts after its file's name.
class ECsvSyntax : public std::runtime_error {
 public:
  ECsvSyntax(int line, CsvFault fault, const std::string& problem)
      : std::runtime_error("line " + std::to_string(line) + ": " + problem),
        line_(line),
        fault_(fault),
        problem_(problem) {}
  int Line() const { return line_; }
  CsvFault Fault() const { return fault_; }
  // What is wrong, without the line: "a quote opened here is never closed".
  const std::string& Problem() const { return problem_; }

 private:
  int line_;
  CsvFault fault_;
  std::string problem_;
};

// Every row of the text, in order. Failures: ECsvSyntax.
std::vector<CsvRow> ParseCsv(std::string_view text, const CsvSyntax& syntax = {});

// Every row of what is left in the stream. Failures: ECsvSyntax.
std::vector<CsvRow> ReadCsv(std::istream& in, const CsvSyntax& syntax = {});

// The cells of one record's text ("a,\"b,c\"" gives a and b,c). Failures: ECsvSyntax.
std::vector<std::string> CsvCells(std::string_view record);

// A cell as written to a CSV file: as it is, or in double quotes with its quotes doubled when
// it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

}  // namespace kvsorv
