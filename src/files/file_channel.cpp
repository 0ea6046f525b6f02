#include "files/file_channel.h"

#include "files/file_errors.h"

namespace kvsorv {

void FileChannel::OpenForReading(const std::string& fileName) {
  Abandon();
  fileName_ = fileName;
  reader_.emplace(fileName);
}

void FileChannel::OpenForWriting(const std::string& fileName) {
  Abandon();
  fileName_ = fileName;
  writer_.emplace(fileName);
}

void FileChannel::LeaveUnopened(const std::string& fileName) {
  Abandon();
  fileName_ = fileName;
}

void FileChannel::Close() {
  reader_.reset();
  if (!writer_) return;
  try {
    writer_->Close();
  } catch (...) {
    writer_.reset();
    throw;
  }
  writer_.reset();
}

void FileChannel::Abandon() noexcept {
  reader_.reset();
  if (writer_) writer_->CloseQuietly();
  writer_.reset();
}

void FileChannel::Discard() noexcept {
  reader_.reset();
  writer_.reset();
}

TextReader& FileChannel::Reader() {
  if (reader_) return *reader_;
  if (fileName_.empty())
    throw EInOutError(EInOutError::Kind::kFileAccess,
                      "Cannot read from the " + label_ + " file: no file is open");
  throw FileAccessError("read", fileName_, "the file is not open for reading");
}

TextWriter& FileChannel::Writer() {
  if (writer_) return *writer_;
  if (fileName_.empty())
    throw EInOutError(EInOutError::Kind::kFileAccess,
                      "Cannot write to the " + label_ + " file: no file is open");
  throw FileAccessError("write", fileName_, "the file is not open for writing");
}

}  // namespace kvsorv
