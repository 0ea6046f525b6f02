#pragma once
// The cells of one line of a comma-separated file, without the blanks around them and
// without a line's closing carriage return.

#include <string>
#include <string_view>
#include <vector>

namespace kvsorv {

std::vector<std::string> CsvCells(std::string_view line);

}  // namespace kvsorv
