#pragma once
// Collinearity of parameters' local sensitivities: for a subset of parameters, the index
//   gamma = 1 / sqrt(smallest eigenvalue of S'S)
// of the sensitivity matrix S (a row per output and time, a column per parameter) with each
// column scaled to unit length. gamma = 1 for sensitivities at right angles; it grows without
// bound as a combination of the columns nears zero, i.e. as the parameters' effects can make
// up for one another (above 10 to 20 they are usually not identifiable together).

#include <string>
#include <vector>

#include "analysis/local_sensitivity.h"

namespace kvsorv::analysis {

// Subsets beyond this many are not computed: whole subset sizes are taken from 2 upwards
// while the total stays within it (all subsets up to 12 parameters).
inline constexpr std::size_t kMaximumSubsets = 5000;

struct CollinearityRow {
  std::vector<std::string> parameters;
  double index = 0;  // +infinity when exactly collinear or a parameter has no effect
};

struct CollinearityResult {
  std::vector<CollinearityRow> rows;  // by size, then in lexicographic order of positions
  std::vector<std::string> notes;     // capped subsets, left-out rows, infinite indices
};

// The index of one set of columns (each a vector of the same length).
double CollinearityIndex(const std::vector<std::vector<double>>& columns);

// Every subset of two or more parameters (within kMaximumSubsets), from the coefficients at
// step h of the (output, time) rows where every parameter has one.
CollinearityResult CollinearityOf(const LocalResult& local);

}  // namespace kvsorv::analysis
