#pragma once
// Writing of the system's text files: text is gathered in memory and written in large
// blocks; lines end with CR LF. Every failure to create or write the file is reported.
//
// A regular file is never changed in place: the text goes to "<file>.tmp" beside it, which
// replaces the file only when the writer is closed (the file a symbolic link points to is
// the one replaced, keeping its permissions). A writer dropped before it is closed leaves
// any previous file as it was. A device, named pipe or other file that is not a regular
// file is written through in place.

#include <cstdio>
#include <string>
#include <string_view>

namespace kvsorv {

class TextWriter {
 public:
  // Prepares to replace the file, or creates it. EInOutError kFileAccess ("Cannot create
  // file ...", naming `fileName`) when it cannot, or when an existing regular file may not
  // be written.
  explicit TextWriter(std::string fileName);
  // Drops what was written: the temporary file is removed and any previous file stays.
  // (A file written in place keeps what reached it.)
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  const std::string& FileName() const { return fileName_; }

  // Appends text. EInOutError kFileAccess when a block cannot be written.
  void Write(std::string_view text);
  // Ends the line with CR LF.
  void EndLine() { Write("\r\n"); }
  // Writes what is pending, closes the file and puts it in place of the previous one.
  // EInOutError kFileAccess on failure; the previous file then stays as it was.
  void Close();
  // Close() without reporting failures, for paths that already fail but keep what was
  // written.
  void CloseQuietly() noexcept;

 private:
  void Flush();
  void DropTemporary() noexcept;

  std::string fileName_;     // the name asked for, used in messages
  std::string targetName_;   // the file replaced at Close (a link's target)
  std::string writtenName_;  // the file being written: the temporary file, or the target
  std::FILE* file_ = nullptr;
  std::string pending_;
};

}  // namespace kvsorv
