#pragma once
// Designs of an ensemble: one row of parameter values per member, one column per varied
// parameter of the plan, in the plan's order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/rank_correlation.h"

namespace kvsorv::ensemble {

enum class Method {
  kMonteCarlo,      // "mc": members independent draws
  kLatinHypercube,  // "lhs": every column takes each of `members` equal-probability strata once
  kSobol,           // "sobol": the cross-sampled layout of Sobol indices, members x (k + 2) rows
  kMorris,          // "morris": `members` trajectories of k + 1 points on a grid of levels
  kOneAtATime,      // "oat": the medians, then for each parameter j the four rows of the
                    // medians with parameter j times 1 - h, 1 + h, 1 - h/2, 1 + h/2 (h the
                    // plan's oat_step): 1 + 4k rows, row 1 + 4j + {0, 1, 2, 3}; central
                    // differences at h and at h/2 give a step-halving check
};

std::optional<Method> MethodNamed(std::string_view name);
const char* MethodName(Method method);

struct Design {
  Method method = Method::kMonteCarlo;
  std::vector<std::string> symbols;
  Matrix rows;  // parameter values, a row per member
};

// Rows A, AB_1 .. AB_k, B in the unit cube for each of `basePoints` points of a
// 2k-dimensional Sobol sequence (its first point, all zeros, skipped); AB_j is A with column j
// from B. The layout Sobol indices are estimated from.
Matrix SobolCrossSampleUnit(std::size_t k, int basePoints);

// How many members the design of `method` has for a plan of `members` members (Monte Carlo,
// Latin hypercube), base points (Sobol: k + 2 members each) or trajectories (Morris: k + 1
// each) and `k` varied parameters; one at a time: the centre and four steps of each, 1 + 4 k.
std::size_t DesignSize(Method method, int members, std::size_t k);

// The design of a plan. Monte Carlo draws member i from a generator seeded by the master
// seed and i alone; rank correlations, when the plan has any, reorder the columns of Monte
// Carlo and Latin hypercube designs.
Design SampleDesign(const EnsemblePlan& plan, Method method);

}  // namespace kvsorv::ensemble
