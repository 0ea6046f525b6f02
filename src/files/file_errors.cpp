#include "files/file_errors.h"

#include <filesystem>

#include <cerrno>
#include <system_error>

namespace kvsorv {

std::string PrintableText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 32 && c < 127) {
      text += ch;
    } else {
      const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
      text.append(escaped, sizeof escaped);
    }
  }
  return text;
}

EInOutError FileAccessError(std::string_view action, std::string_view fileName,
                            std::string_view reason) {
  std::string message = "Cannot ";
  message += action;
  message += " file '";
  message += PrintableText(fileName);
  message += "': ";
  message += reason;
  return EInOutError(EInOutError::Kind::kFileAccess, std::move(message));
}

EInOutError FileAccessErrorFromErrno(std::string_view action, std::string_view fileName) {
  const int code = errno;
  const std::string reason =
      code != 0 ? std::generic_category().message(code) : std::string("unknown error");
  return FileAccessError(action, fileName, reason);
}

EInOutError InvalidNumericInputError(std::string_view fileName, int line, std::string_view token) {
  std::string message = kInvalidNumericInputMessage;
  message += " in file '";
  message += PrintableText(fileName);
  message += "', line ";
  message += std::to_string(line);
  message += ": '";
  message += PrintableText(token);
  message += "'";
  return EInOutError(EInOutError::Kind::kInvalidNumericInput, std::move(message));
}

void RequireRegularFile(const std::string& fileName) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(fileName, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    throw FileAccessError("open", fileName, "file does not exist");
  if (ec) throw FileAccessError("open", fileName, ec.message());
  if (std::filesystem::is_directory(status))
    throw FileAccessError("open", fileName, "it is a directory");
  if (!std::filesystem::is_regular_file(status))
    throw FileAccessError("open", fileName, "it is not a regular file");
}

}  // namespace kvsorv
