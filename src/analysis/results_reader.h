#pragma once
// An ensemble's results file (see ensemble/results_file.h) as series for the analyses: the
// chosen outputs at the chosen times, read a batch of outputs at a time so that memory stays
// bounded whatever the file's size. A member that failed or is missing counts as NaN.

#include <memory>
#include <string>
#include <vector>

#include "analysis/series_source.h"

namespace kvsorv::analysis {

struct ResultsSelection {
  std::vector<std::string> outputs{};  // symbols as the file names them; empty: every output
  std::vector<double> times{};         // times of the file's axis (year); empty: every time
};

// Failures: EAnalysisError naming the file when it is missing or not a results file, when an
// output is not in it (listing those it holds) or a time is not on its axis (giving the axis).
std::unique_ptr<SeriesSource> OpenResults(const std::string& fileName,
                                          const ResultsSelection& selection = {});

}  // namespace kvsorv::analysis
