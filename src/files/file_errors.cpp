#include "files/file_errors.h"

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

}  // namespace kvsorv
