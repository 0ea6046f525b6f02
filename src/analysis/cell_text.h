#pragma once
// Numbers in the cells of the analyses' tables.

#include <string>

namespace kvsorv::analysis {

// A number as the analyses write it: %.10g; an empty text for a value that is not finite.
std::string CellText(double x);

}  // namespace kvsorv::analysis
