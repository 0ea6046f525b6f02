#include "files/text_reader.h"

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "files/file_errors.h"
#include "files/number_text.h"

namespace kvsorv {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool IsLineEnd(int c) {
  return c == '\r' || c == '\n';
}

}  // namespace

TextReader::TextReader(std::string fileName) : fileName_(std::move(fileName)) {
  RequireRegularFile(fileName_);
  errno = 0;
  file_ = std::fopen(fileName_.c_str(), "rb");
  if (file_ == nullptr) throw FileAccessErrorFromErrno("open", fileName_);
  buffer_.resize(kChunkSize);
}

TextReader::~TextReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TextReader::Fill() {
  if (atEndOfFile_) return false;
  errno = 0;
  const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (n == 0) {
    if (std::ferror(file_)) throw FileAccessErrorFromErrno("read", fileName_);
    atEndOfFile_ = true;
    return false;
  }
  pos_ = 0;
  size_ = n;
  return true;
}

bool TextReader::AtEndOfData() {
  int c;
  while ((c = Peek()) >= 0 && c <= 32) Advance();
  return c < 0;
}

std::string TextReader::ReadChars(std::size_t maxCount) {
  std::string text;
  int c;
  while (text.size() < maxCount && (c = Peek()) >= 0 && !IsLineEnd(c)) {
    text += static_cast<char>(c);
    Advance();
  }
  return text;
}

void TextReader::SkipChars(std::size_t maxCount) {
  int c;
  for (std::size_t i = 0; i < maxCount && (c = Peek()) >= 0 && !IsLineEnd(c); ++i) Advance();
}

std::string TextReader::ReadLine(std::size_t maxKept) {
  std::string text = ReadChars(maxKept);
  SkipLine();
  return text;
}

void TextReader::SkipLine() {
  int c;
  while ((c = Peek()) >= 0 && !IsLineEnd(c)) Advance();
  if (c == '\r') {
    Advance();
    if (Peek() == '\n') Advance();
  } else if (c == '\n') {
    Advance();
  }
}

void TextReader::SkipToEnd() {
  pos_ = size_;
  atEndOfFile_ = true;
}

double TextReader::ReadNumber() {
  int c;
  while ((c = Peek()) >= 0 && c <= 32) Advance();
  if (c < 0) return 0.0;
  const int tokenLine = line_;
  char token[kMaxNumberTokenLength + 1];
  std::size_t length = 0;
  while ((c = Peek()) > 32) {
    if (length == kMaxNumberTokenLength) {
      throw InvalidNumericInputError(fileName_, tokenLine, std::string(token, length) + "...");
    }
    token[length++] = static_cast<char>(c);
    Advance();
  }
  const std::string_view text(token, length);
  if (const std::optional<double> value = ParseDecimal(text)) return *value;
  throw InvalidNumericInputError(fileName_, tokenLine, text);
}

}  // namespace kvsorv
