#pragma once
// One column of a CSV file as the values of a table distribution, such as a chain of
// samples: the first line names the columns, every other line has a cell for each.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvsorv::ensemble {

// Failures: std::runtime_error with a message that quotes the file and names the line (and
// the column) of what is wrong: "'chain.csv', line 9, column 'mf': '0x50' is not a decimal
// number", a row with more or fewer cells than the header, a file that cannot be read or has
// no such column.
std::vector<double> ReadTableColumn(const std::filesystem::path& file, const std::string& column);

}  // namespace kvsorv::ensemble
