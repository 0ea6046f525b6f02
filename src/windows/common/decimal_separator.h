#pragma once
// The decimal separator of the system's number format, as windows show and read numbers.

#include <QLocale>

namespace kvsorv {

inline char SystemDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                       : '.';
}

}  // namespace kvsorv
