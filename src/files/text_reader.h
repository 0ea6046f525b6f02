#pragma once
// Character-level reading of the system's text files: fixed-width text fields, number
// tokens and line ends. Lines may end with CR LF, a bare LF (files edited on Linux) or a
// bare CR. The file is read in chunks of fixed size, so any content, binary data and very
// long lines included, is read in bounded memory.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace kvsorv {

class TextReader {
 public:
  // Opens the file. EInOutError kFileAccess when it does not exist, is a directory or
  // another kind of non-regular file, or cannot be opened.
  explicit TextReader(std::string fileName);
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  const std::string& FileName() const { return fileName_; }
  // Line (from 1) of the next character to be read.
  int LineNumber() const { return line_; }
  // Characters read on the current line so far (its line end not counted).
  std::size_t Column() const { return column_; }
  // Characters of the file's first line, as far as it has been read.
  std::size_t FirstLineLength() const { return firstLineLength_; }

  // True when no character is left.
  bool AtEnd() { return Peek() < 0; }
  // Skips characters with codes up to 32 (line ends included); true when nothing is left.
  bool AtEndOfData();

  // Reads up to maxCount characters, stopping before the end of the line.
  std::string ReadChars(std::size_t maxCount);
  // Skips up to maxCount characters, stopping before the end of the line.
  void SkipChars(std::size_t maxCount);
  // Reads the rest of the line, keeping at most its first maxKept characters, and moves
  // past the line end.
  std::string ReadLine(std::size_t maxKept);
  // Moves past the end of the current line (or to the end of the file).
  void SkipLine();
  // Moves to the end of the file without reading the rest.
  void SkipToEnd();

  // Reads a number token: skips characters with codes up to 32 (line ends included), then
  // takes the characters up to the next such character, at most kMaxNumberTokenLength of
  // them, and converts them as a decimal number (ParseDecimal). 0 when the file ends
  // before a token. EInOutError kInvalidNumericInput, naming the file, the line and the
  // token, when the token is not a number or is longer than the limit.
  double ReadNumber();

 private:
  // The next byte (0..255) without consuming it, or -1 at the end of the file.
  int Peek() {
    if (pos_ < size_) return static_cast<unsigned char>(buffer_[pos_]);
    return Fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
  }
  // Consumes the byte Peek returned, counting lines.
  void Advance() {
    const char c = buffer_[pos_++];
    if (c == '\r') {
      ++line_;
      column_ = 0;
      afterCarriageReturn_ = true;
    } else {
      if (c == '\n') {
        if (!afterCarriageReturn_) ++line_;
        column_ = 0;
      } else {
        ++column_;
        if (line_ == 1) ++firstLineLength_;
      }
      afterCarriageReturn_ = false;
    }
  }
  // Reads the next chunk; false at the end of the file. EInOutError on a read failure.
  bool Fill();

  std::string fileName_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool atEndOfFile_ = false;
  int line_ = 1;
  std::size_t column_ = 0;
  std::size_t firstLineLength_ = 0;
  bool afterCarriageReturn_ = false;
};

}  // namespace kvsorv
