#include "analysis/table_source.h"

#include <cmath>
#include <limits>

#include "analysis/analysis_error.h"

namespace kvsorv::analysis {

namespace {

class InMemorySource : public SeriesSource {
 public:
  InMemorySource(EnsembleLayout layout, SeriesBatch batch)
      : layout_(std::move(layout)), batch_(std::move(batch)) {}
  const EnsembleLayout& Layout() const override { return layout_; }
  void ForEachBatch(std::size_t, const std::function<void(const SeriesBatch&)>& use) override {
    use(batch_);
  }

 private:
  EnsembleLayout layout_;
  SeriesBatch batch_;
};

}  // namespace

std::unique_ptr<SeriesSource> MemorySource(EnsembleLayout layout, SeriesBatch batch) {
  return std::make_unique<InMemorySource>(std::move(layout), std::move(batch));
}

std::unique_ptr<SeriesSource> TableSource(const MemberTable& table, const std::string& fileName,
                                          std::size_t inputs, const std::string& designMethod) {
  if (inputs < 1 || inputs >= table.names.size())
    throw EAnalysisError(fileName + ": --inputs must be the number of design columns, from 1 to " +
                         std::to_string(table.names.size() - 1));
  EnsembleLayout layout;
  layout.source = fileName;
  layout.designMethod = designMethod;
  layout.parameters.assign(table.names.begin(), table.names.begin() + static_cast<long>(inputs));
  layout.outputs.assign(table.names.begin() + static_cast<long>(inputs), table.names.end());
  layout.times = {std::numeric_limits<double>::quiet_NaN()};
  SeriesBatch batch;
  batch.members = table.rows.size();
  batch.count = layout.outputs.size();
  batch.values.resize(batch.count * batch.members);
  for (std::size_t m = 0; m < table.rows.size(); ++m) {
    const auto& row = table.rows[m];
    // A design cell that is no number is a broken table, not a failed member.
    for (std::size_t c = 0; c < inputs; ++c)
      if (!std::isfinite(row[c]))
        throw EAnalysisError(fileName + ", " +
                             (m < table.lines.size() ? "line " + std::to_string(table.lines[m])
                                                     : "member " + std::to_string(m + 1)) +
                             ": the design value of '" + table.names[c] +
                             "' is not a finite number");
    layout.design.emplace_back(row.begin(), row.begin() + static_cast<long>(inputs));
    bool done = true;
    for (std::size_t c = inputs; c < row.size(); ++c) done = done && std::isfinite(row[c]);
    // A failed member (an output that is no finite number) is out of every statistic.
    for (std::size_t c = inputs; c < row.size(); ++c)
      batch.values[(c - inputs) * batch.members + m] =
          done ? row[c] : std::numeric_limits<double>::quiet_NaN();
    layout.states.push_back(done ? MemberState::kDone : MemberState::kFailed);
  }
  return std::make_unique<InMemorySource>(std::move(layout), std::move(batch));
}

}  // namespace kvsorv::analysis
