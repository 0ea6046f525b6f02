#pragma once
// The error of an analysis that cannot be made: the message names the file and what is
// wrong with it (a design the analysis cannot use, an output or time the file does not
// hold, too few members for a stable estimate).

#include <stdexcept>

namespace kvsorv::analysis {

class EAnalysisError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// An analysis stopped on request (its feedback was canceled) before it finished.
class EAnalysisCanceled : public EAnalysisError {
 public:
  EAnalysisCanceled() : EAnalysisError("the analysis was stopped before it finished") {}
};

}  // namespace kvsorv::analysis
