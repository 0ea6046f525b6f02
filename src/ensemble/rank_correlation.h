#pragma once
// Rank correlations between the varied parameters of a design, induced by reordering each
// column (the method of Iman and Conover): every column keeps its values, so every marginal
// distribution stays exactly as sampled.

#include <cstdint>
#include <optional>
#include <vector>

namespace kvsorv::ensemble {

struct EnsemblePlan;

using Matrix = std::vector<std::vector<double>>;  // rows of equal length

// The plan's wanted correlation matrix: 1 on the diagonal, the given ranks, 0 elsewhere.
Matrix CorrelationMatrix(const EnsemblePlan& plan);

// The Pearson correlations of normal scores whose rank (Spearman) correlations are `rank`:
// r = 2 sin(pi rho / 6) off the diagonal, the relation of the bivariate normal distribution.
Matrix NormalScoreCorrelation(const Matrix& rank);

// The lower triangle L with L L^T = m, or nullopt when m is not positive definite.
std::optional<Matrix> CholeskyFactor(const Matrix& m);

// Reorders the values within each column of `design` (rows: members, columns: parameters)
// so that the columns' rank (Spearman) correlations approach `rankTarget`, within sampling
// error. Deterministic for a seed, on every platform.
void ImposeRankCorrelation(Matrix& design, const Matrix& rankTarget, std::uint64_t seed);

}  // namespace kvsorv::ensemble
