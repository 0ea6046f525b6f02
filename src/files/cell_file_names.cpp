#include "files/cell_file_names.h"

#include <charconv>

#include "model/errors.h"

namespace kvsorv {

std::string DirectoryOf(const std::string& fileName) {
  const auto slash = fileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

CellFiles GetNextDriverFilename(const std::string& driverFileName) {
  const std::string dir = DirectoryOf(driverFileName);
  std::string name = driverFileName.substr(dir.size());
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  const std::string rest = name.size() > 4 ? name.substr(4) : std::string();
  // Whole numbers only: an optional sign and digits.
  const char* begin = rest.data();
  const char* end = begin + rest.size();
  if (begin != end && *begin == '+') ++begin;
  int cell = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, cell);
  if (rest.empty() || ec != std::errc() || ptr != end)
    throw EConvertError::NotAnInteger(rest).WithLineBefore(
        "Driver file '" + driverFileName +
        "': its name must be \"cell\" followed by the cell number (for example cell1.drr).");
  return {cell, dir + "cell" + std::to_string(static_cast<long long>(cell) + 1) + ".drr"};
}

}  // namespace kvsorv
