#pragma once
// A plan file's bytes, read and checked before the TOML parser sees them: the parser takes
// time beyond reason on texts made for it (arrays nested thousands deep, a long list on one
// line, a hundred thousand tables), so such a text is refused at once, by bounds no real plan
// reaches.

#include <cstddef>
#include <string>

#include "ensemble/plan.h"

namespace kvsorv::ensemble {

inline constexpr std::size_t kLongestPlanLine = 10000;  // characters
inline constexpr int kDeepestPlanNesting = 16;  // arrays and inline tables within each other
inline constexpr std::size_t kMostPlanListValues = 100000;  // in all the plan's lists
inline constexpr std::size_t kMostValuesOnAPlanLine = 100;
// [table] and [[table]] headers
inline constexpr std::size_t kMostPlanTables =
    kMostPlanParameters + kMostPlanOutputs + kMostPlanCorrelations;
inline constexpr std::size_t kMostKeysOfAPlanTable = 100;

// Failures: EPlanError naming the file, and the line where a bound is passed (the file's
// size, see kLargestPlanBytes in plan.h, is checked before it is read whole).
std::string ReadPlanBytes(const std::string& fileName);

// The same checks of a plan's text before it is written to the file: a plan is not written
// that could not be read back.
void CheckPlanText(const std::string& fileName, const std::string& text);

}  // namespace kvsorv::ensemble
