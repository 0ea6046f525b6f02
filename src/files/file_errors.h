#pragma once
// The input/output errors of the file readers and writers, with messages that name the
// file and what is wrong with it.

#include <string>
#include <string_view>

#include "model/errors.h"

namespace kvsorv {

// EInOutError kFileAccess: "Cannot <action> file '<name>': <reason>".
EInOutError FileAccessError(std::string_view action, std::string_view fileName,
                            std::string_view reason);

// The same with the reason taken from the C library's last error (errno).
EInOutError FileAccessErrorFromErrno(std::string_view action, std::string_view fileName);

// EInOutError kInvalidNumericInput: "Invalid numeric input in file '<name>', line <n>:
// '<token>'", with bytes that are not printable shown as \xNN.
EInOutError InvalidNumericInputError(std::string_view fileName, int line, std::string_view token);

// Nothing when `fileName` names a regular file; otherwise FileAccessError("open", ...) saying
// that the file does not exist, is a directory or is no regular file.
void RequireRegularFile(const std::string& fileName);

// The text with every byte outside the printable ASCII range written as \xNN.
std::string PrintableText(std::string_view bytes);

}  // namespace kvsorv
