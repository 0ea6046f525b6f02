#pragma once
// The names of a cell's driver files: the cell number a driver file's name gives, the next
// cell's driver file and the base driver file beside it.

#include <string>

namespace kvsorv {

inline constexpr const char* kBaseDriverFile = "cell1b.drr";

struct CellFiles {
  int cellNumber = 0;
  std::string nextDriverFileName;
};

// Cell number from a driver file's name (its name without directory and extension, less
// its first four characters: "cell7.drr" gives 7) and the next cell's driver file
// ("cell8.drr" in the same directory). Raises EConvertError, with a line saying what the
// name must be, when no integer remains.
CellFiles GetNextDriverFilename(const std::string& driverFileName);

// The directory part of a file name, with its trailing separator ("" when there is none).
std::string DirectoryOf(const std::string& fileName);

}  // namespace kvsorv
