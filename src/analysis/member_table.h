#pragma once
// A plain table of ensemble members: one row per member, the design's input columns first,
// then one column per output; the first line names the columns (a leading "# " allowed). A
// value that is not a finite number ("nan", an empty cell) stands for a failed member's output;
// numbers are decimal (see csv_number.h).

#include <string>
#include <vector>

namespace kvsorv::analysis {

struct MemberTable {
  std::vector<std::string> names;
  std::vector<std::vector<double>> rows;
  std::vector<int> lines;  // each row's line in its file, when read from one

  std::vector<double> Column(std::size_t c) const;
};

// Failures: std::runtime_error naming the file and the line (unreadable file, a row of the
// wrong length, a hexadecimal number or one too small for a double, with its column).
MemberTable ReadMemberTable(const std::string& fileName);

}  // namespace kvsorv::analysis
