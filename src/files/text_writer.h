#pragma once
// Writing of the system's text files: text is gathered in memory and written in large
// blocks; lines end with CR LF. Every failure to create or write the file is reported.

#include <cstdio>
#include <string>
#include <string_view>

namespace kvsorv {

class TextWriter {
 public:
  // Creates the file, or empties it if it exists. EInOutError kFileAccess when it cannot.
  explicit TextWriter(std::string fileName);
  // Writes what is pending and closes the file without reporting failures; call Close() to
  // learn of them.
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  const std::string& FileName() const { return fileName_; }

  // Appends text. EInOutError kFileAccess when a block cannot be written.
  void Write(std::string_view text);
  // Ends the line with CR LF.
  void EndLine() { Write("\r\n"); }
  // Writes what is pending and closes the file. EInOutError kFileAccess on failure.
  void Close();

 private:
  void Flush();

  std::string fileName_;
  std::FILE* file_ = nullptr;
  std::string pending_;
};

}  // namespace kvsorv
