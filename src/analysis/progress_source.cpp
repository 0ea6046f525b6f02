#include "analysis/progress_source.h"

#include <algorithm>

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
    const std::size_t total = Layout().Series();
    const std::size_t slice = std::max(kProgressSlice, (total + 99) / 100);
    std::size_t done = 0;
    SeriesBatch part;
    source_->ForEachBatch(maxBytes, [&](const SeriesBatch& batch) {
      for (std::size_t s0 = 0; s0 < batch.count; s0 += slice) {
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
        progress_(done, total);
      }
    });
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
