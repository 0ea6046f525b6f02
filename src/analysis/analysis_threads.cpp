#include "analysis/analysis_threads.h"

#include <algorithm>

#include "tasks/worker_pool.h"

namespace kvsorv::analysis {

std::size_t AnalysisThreads() {
  return std::min<std::size_t>(tasks::HardwareThreads(), 8);
}

}  // namespace kvsorv::analysis
