#include "files/text_writer.h"

#include <cerrno>

#include "files/file_errors.h"

namespace kvsorv {

namespace {

constexpr std::size_t kBlockSize = 1024 * 1024;

}  // namespace

TextWriter::TextWriter(std::string fileName) : fileName_(std::move(fileName)) {
  errno = 0;
  file_ = std::fopen(fileName_.c_str(), "wb");
  if (file_ == nullptr) throw FileAccessErrorFromErrno("create", fileName_);
  // Blocks are gathered here; the C library need not copy them again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  pending_.reserve(kBlockSize + 64 * 1024);
}

TextWriter::~TextWriter() {
  if (file_ == nullptr) return;
  if (!pending_.empty()) std::fwrite(pending_.data(), 1, pending_.size(), file_);
  std::fclose(file_);
}

void TextWriter::Write(std::string_view text) {
  pending_.append(text);
  if (pending_.size() >= kBlockSize) Flush();
}

void TextWriter::Flush() {
  if (pending_.empty()) return;
  errno = 0;
  const std::size_t written = std::fwrite(pending_.data(), 1, pending_.size(), file_);
  if (written != pending_.size()) {
    pending_.clear();
    throw FileAccessErrorFromErrno("write", fileName_);
  }
  pending_.clear();
}

void TextWriter::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  try {
    Flush();
  } catch (...) {
    file_ = nullptr;
    std::fclose(file);
    throw;
  }
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) throw FileAccessErrorFromErrno("write", fileName_);
}

}  // namespace kvsorv
