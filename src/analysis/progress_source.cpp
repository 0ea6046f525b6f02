#include "analysis/progress_source.h"

#include "analysis/batch_feedback.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {

namespace {

class ProgressSource : public SeriesSource {
 public:
  ProgressSource(std::unique_ptr<SeriesSource> source,
                 std::function<void(std::size_t, std::size_t)> progress)
      : source_(std::move(source)), progress_(std::move(progress)) {}

  const EnsembleLayout& Layout() const override { return source_->Layout(); }

  void ForEachBatch(std::size_t maxBytes,
                    const std::function<void(const SeriesBatch&)>& use) override {
    Feedback feedback;
    feedback.OnProgress([this](const FeedbackProgress& p) { progress_(p.done, p.total); });
    ForEachBatchWithFeedback(*source_, maxBytes, &feedback, use);
  }

 private:
  std::unique_ptr<SeriesSource> source_;
  std::function<void(std::size_t, std::size_t)> progress_;
};

}  // namespace

std::unique_ptr<SeriesSource> WithProgress(
    std::unique_ptr<SeriesSource> source,
    std::function<void(std::size_t done, std::size_t total)> progress) {
  return std::make_unique<ProgressSource>(std::move(source), std::move(progress));
}

}  // namespace kvsorv::analysis
