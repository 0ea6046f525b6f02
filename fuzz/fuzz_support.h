#pragma once
// Set-up shared by the fuzz targets.

#include <string>

namespace kvsorv::fuzzing {

// Builds the model catalogue and installs a prompter that shows nothing.
void PrepareModel();

// A scratch file name private to this process, with the given extension.
std::string ScratchPath(const std::string& extension);

}  // namespace kvsorv::fuzzing
