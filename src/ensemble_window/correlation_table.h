#pragma once
// The rank correlations of an ensemble plan as the user edits them: one row per pair of varied
// parameters with the texts of its two symbols and its rank correlation. As the plan table,
// rows hold texts; the plan's correlations are made of them only once every row is valid, and
// a row that is not names itself and what is wrong.

#include <string>
#include <vector>

#include "ensemble/plan.h"

namespace kvsorv::ensemble {

struct CorrelationRow {
  std::string a, b;  // symbols of two varied parameters
  std::string rank;  // Spearman's rank correlation, strictly between -1 and 1
  friend bool operator==(const CorrelationRow&, const CorrelationRow&) = default;
};

// The rows of a plan's correlations.
std::vector<CorrelationRow> CorrelationRowsOf(const EnsemblePlan& plan);

// Why a row makes no correlation of the parameters `symbols`, naming the row (1-based) and
// its pair: "correlation row 2 (mf, Q10d): the rank correlation must be a number between -1
// and 1"; "" when it makes one.
std::string CorrelationRowProblem(const std::vector<CorrelationRow>& rows,
                                  const std::vector<std::string>& symbols, std::size_t row);

// The plan's correlations of the rows, for the varied `parameters`. EPlanError naming the row (1-based) and its pair when a row
// names no varied parameter or one twice, gives a rank that is not a number between -1 and 1,
// repeats a pair; or naming the correlations when together they are impossible (a matrix
// that is not positive definite).
std::vector<RankCorrelation> CorrelationsOf(const std::vector<CorrelationRow>& rows,
                                            const std::vector<VariedParameter>& parameters);

}  // namespace kvsorv::ensemble
