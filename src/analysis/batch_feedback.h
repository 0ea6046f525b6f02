#pragma once
// A source's batches handed to an analysis that reports to a feedback: in slices of about a
// hundredth of the series (at least kProgressSlice; a slice may end inside an output, which
// the analyses take), with the series done of every series reported after each slice and a
// cancel looked for before each.

#include <cstddef>
#include <functional>

#include "analysis/series_source.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

// Slices no smaller, so that the threads of an analysis share each slice well.
inline constexpr std::size_t kProgressSlice = 256;

// Hands every series of `source` to `use`, in batches of at most `maxBytes` of values;
// without a feedback, the source's batches as they come. Failures: the source's, `use`'s, and
// EAnalysisCanceled before the first slice after the feedback was canceled.
void ForEachBatchWithFeedback(SeriesSource& source, std::size_t maxBytes, Feedback* feedback,
                              const std::function<void(const SeriesBatch&)>& use);

// Hands every series of `source` to `body(series, values)`, the values of its every member,
// on the analysis threads (AnalysisThreads), batch by batch as ForEachBatchWithFeedback
// hands them out. `body` runs for distinct series at once. Failures: as
// ForEachBatchWithFeedback, and `body`'s (the first, once the threads have stopped).
void ForEachSeries(SeriesSource& source, Feedback* feedback,
                   const std::function<void(std::size_t series, const double* values)>& body);

}  // namespace kvsorv::analysis
