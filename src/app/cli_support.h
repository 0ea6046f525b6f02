#pragma once
// What the commands of kvsorv-cli share: numbers printed exactly and the parameter file
// loaded into the global tables.

#include <string>

namespace kvsorv::cli {

// "%.17g": enough digits to give the double back exactly, independent of the locale.
std::string Exact(double value);

// Reads the parameter file into the global States and Params; false when it was rejected
// (the prompter has said why).
bool LoadParameters(const std::string& fileName);

}  // namespace kvsorv::cli
