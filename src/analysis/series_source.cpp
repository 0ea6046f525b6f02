#include "analysis/series_source.h"

#include "analysis/analysis_error.h"

namespace kvsorv::analysis {

void RequireDesign(const EnsembleLayout& layout, const std::string& analysis,
                   const std::string& wanted) {
  if (layout.designMethod == wanted) return;
  throw EAnalysisError(layout.source + ": holds " +
                       (layout.designMethod.empty() ? std::string("no recorded design")
                                                    : "the design '" + layout.designMethod + "'") +
                       "; the " + analysis + " analysis needs the design '" + wanted +
                       "' (kvsorv-cli sample --method " + wanted + ")");
}

}  // namespace kvsorv::analysis
