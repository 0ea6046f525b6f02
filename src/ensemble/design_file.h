#pragma once
// The design file: comma-separated parameter values, a row per member, with a comment line
// naming the columns ("# Sc,mf,...") and one naming the design ("# design: sobol"), so that
// numerical tools that skip comment lines read the matrix as it is. Values are written with 17
// significant digits: read back, they are the same doubles.

#include <string>

#include "ensemble/plan.h"
#include "ensemble/sampling.h"

namespace kvsorv::ensemble {

// Failures: EInOutError when the file cannot be written (a previous file stays as it was).
void WriteDesign(const std::string& fileName, const Design& design);

// Reads a design whose columns must be the plan's varied parameters, in the plan's order.
// Failures: EPlanError naming the file and the line (columns that do not match the plan, a
// row of the wrong length, a value that is not a finite decimal number, with its column),
// EInOutError when it cannot be read.
// A file without the design line (written by hand or by another tool) is taken as a Monte
// Carlo design: independent members, which only the envelope can analyse.
Design ReadDesign(const std::string& fileName, const EnsemblePlan& plan);

}  // namespace kvsorv::ensemble
