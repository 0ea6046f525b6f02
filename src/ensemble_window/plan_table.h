#pragma once
// The varied parameters of an ensemble plan as the user edits them: one row per parameter
// with its symbol, its distribution's name and the texts of the distribution's arguments.
// Rows hold texts, so a half-typed value is kept; a plan is made of them only once every row
// is valid, and a row that is not names itself and what is wrong.

#include <string>
#include <vector>

#include "ensemble/plan.h"

namespace kvsorv::ensemble {

struct PlanRow {
  std::string symbol;
  std::string distribution;            // one of DistributionNames()
  std::vector<std::string> arguments;  // in the order of ArgumentNames(distribution)
  friend bool operator==(const PlanRow&, const PlanRow&) = default;
};

// "uniform", "normal", "lognormal", "triangular", "truncated-normal", "table".
const std::vector<std::string>& DistributionNames();
// The arguments a distribution takes ("min", "max"; a table takes "values", a list of
// numbers separated by blanks or commas); empty for an unknown name.
const std::vector<std::string>& ArgumentNames(const std::string& distribution);
// The most arguments any distribution takes: the table's argument columns.
constexpr int kMostArguments = 4;

// A row of a plan's varied parameter: its distribution's name and arguments as texts that
// read back to the same numbers.
PlanRow RowOf(const VariedParameter& parameter);

// Why a row makes no varied parameter, naming the row (1-based) and its symbol: "row 2 (mf):
// sd must be greater than 0", "row 3: 'xyz' is no parameter of the model", or "" when it
// makes one. Symbols are looked up in the global tables (the catalogue must be built).
std::string RowProblem(const std::vector<PlanRow>& rows, std::size_t row);

// The varied parameter of a valid row. EPlanError with RowProblem's message otherwise.
VariedParameter ParameterOf(const std::vector<PlanRow>& rows, std::size_t row);

}  // namespace kvsorv::ensemble
