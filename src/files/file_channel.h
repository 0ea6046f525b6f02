#pragma once
// A channel: one text file open for reading or for writing, remembered with the name it was
// last asked to open. Each driver-file channel and the output file's channel is one of
// these. The file is closed when the channel is closed, reopened or destroyed.

#include <optional>
#include <string>

#include "files/text_reader.h"
#include "files/text_writer.h"

namespace kvsorv {

class FileChannel {
 public:
  // `label` names the channel in messages when no file was ever named, e.g. "main driver".
  explicit FileChannel(std::string label) : label_(std::move(label)) {}
  FileChannel(const FileChannel&) = delete;
  FileChannel& operator=(const FileChannel&) = delete;

  // Closes what is open and opens the file for reading / creates it for writing.
  // EInOutError kFileAccess when that fails; the channel is then left unopened.
  void OpenForReading(const std::string& fileName);
  void OpenForWriting(const std::string& fileName);
  // Closes what is open and records the name without opening anything, so that a later
  // read names the file that could not be opened.
  void LeaveUnopened(const std::string& fileName);
  // Closes the file. EInOutError kFileAccess when pending text cannot be written; the
  // channel is closed in any case. Nothing happens when nothing is open.
  void Close();
  // Closes the file without reporting failures (on paths that already fail), keeping what
  // was written.
  void Abandon() noexcept;
  // Closes the file and drops what was written to it: a file being written is left as it
  // was before it was opened (see TextWriter).
  void Discard() noexcept;

  bool IsOpen() const { return reader_.has_value() || writer_.has_value(); }
  const std::string& FileName() const { return fileName_; }

  // The open file. EInOutError kFileAccess, naming the file, when the channel is not open
  // for reading (resp. writing).
  TextReader& Reader();
  TextWriter& Writer();

 private:
  std::string label_;
  std::string fileName_;
  std::optional<TextReader> reader_;
  std::optional<TextWriter> writer_;
};

}  // namespace kvsorv
