#include "files/text_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "files/file_errors.h"

namespace kvsorv {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 1024 * 1024;

struct Target {
  std::string name;      // the file to replace or to write
  bool inPlace = false;  // not a regular file: written through
  bool exists = false;   // an existing regular file, whose permissions the new one keeps
  fs::perms permissions = fs::perms::none;
};

Target ResolveTarget(const std::string& fileName) {
  std::error_code ec;
  Target target{.name = fileName};
  if (fs::is_symlink(fileName, ec)) {
    const fs::path resolved = fs::canonical(fileName, ec);
    if (ec) return {.name = fileName, .inPlace = true};  // a dangling link: create through it
    target.name = resolved.string();
  }
  const fs::file_status status = fs::status(target.name, ec);
  if (ec || status.type() == fs::file_type::not_found) return target;
  if (status.type() != fs::file_type::regular) {
    target.inPlace = true;
    return target;
  }
  target.exists = true;
  target.permissions = status.permissions();
  return target;
}

}  // namespace

TextWriter::TextWriter(std::string fileName) : fileName_(std::move(fileName)) {
  const Target target = ResolveTarget(fileName_);
  targetName_ = target.name;
  errno = 0;
  if (target.inPlace) {
    writtenName_ = targetName_;
    file_ = std::fopen(writtenName_.c_str(), "wb");
    if (file_ == nullptr) throw FileAccessErrorFromErrno("create", fileName_);
  } else {
    // Replacing an existing file is writing it; a file that may not be written is not
    // replaced either.
    const char* action = target.exists ? "write" : "create";
    if (target.exists && access(targetName_.c_str(), W_OK) != 0)
      throw FileAccessErrorFromErrno(action, fileName_);
    writtenName_ = targetName_ + ".tmp";
    const int fd = open(writtenName_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw FileAccessErrorFromErrno(action, fileName_);
    if (target.exists) fchmod(fd, static_cast<mode_t>(target.permissions) & 07777);
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
      const int code = errno;
      close(fd);
      DropTemporary();
      errno = code;
      throw FileAccessErrorFromErrno(action, fileName_);
    }
  }
  // Blocks are gathered here; the C library need not copy them again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  pending_.reserve(kBlockSize + 64 * 1024);
}

TextWriter::~TextWriter() {
  if (file_ == nullptr) return;
  if (writtenName_ == targetName_ && !pending_.empty())
    std::fwrite(pending_.data(), 1, pending_.size(), file_);
  std::fclose(file_);
  file_ = nullptr;
  DropTemporary();
}

void TextWriter::DropTemporary() noexcept {
  if (writtenName_ == targetName_) return;
  std::error_code ignored;
  fs::remove(writtenName_, ignored);
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
    DropTemporary();
    throw;
  }
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) {
    const int code = errno;
    DropTemporary();
    errno = code;
    throw FileAccessErrorFromErrno("write", fileName_);
  }
  if (writtenName_ == targetName_) return;
  std::error_code ec;
  fs::rename(writtenName_, targetName_, ec);
  if (ec) {
    DropTemporary();
    throw FileAccessError("write", fileName_, ec.message());
  }
}

void TextWriter::CloseQuietly() noexcept {
  try {
    Close();
  } catch (...) {
  }
}

}  // namespace kvsorv
