#pragma once
// How many threads an analysis shares its series out over.

#include <cstddef>

namespace kvsorv::analysis {

// The threads of tasks::ParallelFor for an analysis's series: every core, at most 8.
std::size_t AnalysisThreads();

}  // namespace kvsorv::analysis
