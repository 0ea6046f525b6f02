#pragma once
// The one conversion between the core's UTF-8 texts and Qt's.

#include <QString>
#include <string>
#include <string_view>

namespace kvsorv {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string S(const QString& text) {
  return text.toStdString();
}

}  // namespace kvsorv
