#include "analysis/batch_feedback.h"

#include <algorithm>

#include "analysis/analysis_error.h"
#include "analysis/analysis_threads.h"
#include "tasks/worker_pool.h"

namespace kvsorv::analysis {

void ForEachBatchWithFeedback(SeriesSource& source, std::size_t maxBytes, Feedback* feedback,
                              const std::function<void(const SeriesBatch&)>& use) {
  if (feedback == nullptr) {
    source.ForEachBatch(maxBytes, use);
    return;
  }
  const std::size_t total = source.Layout().Series();
  const std::size_t slice = std::max(kProgressSlice, (total + 99) / 100);
  std::size_t done = 0;
  SeriesBatch part;
  source.ForEachBatch(maxBytes, [&](const SeriesBatch& batch) {
    for (std::size_t s0 = 0; s0 < batch.count; s0 += slice) {
      if (feedback->IsCanceled()) throw EAnalysisCanceled();
      const std::size_t count = std::min(slice, batch.count - s0);
      if (count == batch.count) {
        use(batch);
      } else {
        part.first = batch.first + s0;
        part.count = count;
        part.members = batch.members;
        part.values.assign(batch.Series(s0), batch.Series(s0) + count * batch.members);
        use(part);
      }
      done += count;
      feedback->SetProgress(done, total);
    }
  });
}

void ForEachSeries(SeriesSource& source, Feedback* feedback,
                   const std::function<void(std::size_t series, const double* values)>& body) {
  ForEachBatchWithFeedback(source, kBatchBytes, feedback, [&](const SeriesBatch& batch) {
    tasks::ParallelFor(batch.count, AnalysisThreads(),
                       [&](std::size_t s) { body(batch.first + s, batch.Series(s)); });
  });
}

}  // namespace kvsorv::analysis
