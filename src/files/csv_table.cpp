#include "files/csv_table.h"

#include <iterator>

namespace kvsorv {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Walks the text once, a row at a time, counting lines.
class CsvParser {
 public:
  CsvParser(std::string_view text, const CsvSyntax& syntax) : text_(text), syntax_(syntax) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }

  std::vector<CsvRow> Rows() {
    std::vector<CsvRow> rows;
    while (pos_ < text_.size()) rows.push_back(NextRow(rows.empty()));
    return rows;
  }

 private:
  // A line end starts here: LF, or CR before LF or before the end of the text.
  bool AtLineEnd(std::size_t at) const {
    if (at >= text_.size()) return true;
    if (text_[at] == '\n') return true;
    return text_[at] == '\r' && (at + 1 == text_.size() || text_[at + 1] == '\n');
  }

  // Steps over the line end at pos_, if any.
  void SkipLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') {
      ++pos_;
      ++line_;
    }
  }

  bool CommentHere(bool first) const {
    if (text_[pos_] != '#') return false;
    return syntax_.comments == CsvComments::kEveryLine ||
           (syntax_.comments == CsvComments::kFirstLine && first);
  }

  CsvRow NextRow(bool first) {
    CsvRow row{.cells = {}, .line = line_, .comment = false, .text = {}};
    if (CommentHere(first)) {
      std::size_t end = pos_;
      while (!AtLineEnd(end)) ++end;
      row.comment = true;
      row.text = std::string(text_.substr(pos_, end - pos_));
      pos_ = end;
      SkipLineEnd();
      return row;
    }
    if (AtLineEnd(pos_)) {
      SkipLineEnd();
      return row;
    }
    for (;;) {
      row.cells.push_back(NextCell());
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      SkipLineEnd();
      return row;
    }
  }

  // The cell at pos_, which is left on the comma or line end after it.
  std::string NextCell() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') return QuotedCell();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd(pos_)) ++pos_;
    std::string_view cell = text_.substr(start, pos_ - start);
    while (!cell.empty() && IsBlank(cell.back())) cell.remove_suffix(1);
    return std::string(cell);
  }

  std::string QuotedCell() {
    const int opened = line_;
    std::string cell;
    for (++pos_;; ++pos_) {
      if (pos_ >= text_.size())
        throw ECsvSyntax(opened, CsvFault::kUnclosedQuote,
                         "a quote opened on this line is not closed");
      const char c = text_[pos_];
      if (c == '"') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
          cell += '"';
          ++pos_;
          continue;
        }
        ++pos_;
        break;
      }
      if (c == '\n') ++line_;
      cell += c;
    }
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    if (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd(pos_))
      throw ECsvSyntax(line_, CsvFault::kTextAfterQuote,
                       "text after the closing quote of a cell (a quote inside quotes is "
                       "written twice: \"\")");
    return cell;
  }

  std::string_view text_;
  CsvSyntax syntax_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

std::vector<CsvRow> ParseCsv(std::string_view text, const CsvSyntax& syntax) {
  return CsvParser(text, syntax).Rows();
}

std::vector<CsvRow> ReadCsv(std::istream& in, const CsvSyntax& syntax) {
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseCsv(text, syntax);
}

std::vector<std::string> CsvCells(std::string_view record) {
  std::vector<CsvRow> rows = ParseCsv(record);
  return rows.empty() ? std::vector<std::string>{} : std::move(rows.front().cells);
}

std::string CsvField(std::string_view text) {
  const bool blankEdge = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
  if (!blankEdge && text.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace kvsorv
