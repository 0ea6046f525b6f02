#pragma once
// The files a run reads and writes, and the check that no file plays two roles in a way that
// would overwrite one of them.

#include <string>
#include <vector>

#include "program/run_settings.h"

namespace kvsorv {

struct RunFileRole {
  std::string role;  // e.g. "driver file", "output file"
  std::string fileName;
  bool written = false;
};

// The parameter file (when named), the driver file, the base driver file, the output file,
// the scratch driver file and, when the driver file's name gives a cell number, the next
// cell's driver file, for the given settings.
std::vector<RunFileRole> RunFileRoles(const TRunSettings& settings);

// Raises EInOutError kFileAccess, naming the file and both roles, when a file the run writes
// is also one it reads or one it writes in another role (the same file reached by another
// path or a link counts). Touches no file.
void CheckRunFileRoles(const TRunSettings& settings);

}  // namespace kvsorv
