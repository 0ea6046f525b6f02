#pragma once
// An ensemble as the analyses see it: the design (method, parameters, one row per member),
// each member's status, and its outputs as series, one per (output, time), handed out in
// batches so that a file larger than memory is read in a few passes.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kvsorv::analysis {

enum class MemberState : signed char { kMissing = 0, kDone = 1, kFailed = 2 };

struct EnsembleLayout {
  std::string source;        // the file the members come from, for messages
  std::string designMethod;  // "mc", "lhs", "sobol", "morris" or "oat"
  std::vector<std::string> parameters;
  std::vector<std::vector<double>> design;  // members x parameters, as the members ran
  std::vector<MemberState> states;
  std::vector<std::string> outputs;  // the selected outputs, in the order analysed
  std::vector<double> times;         // the selected times (year); one NaN for a plain table

  std::size_t Members() const { return states.size(); }
  std::size_t Series() const { return outputs.size() * times.size(); }
  // Series s is output s / times.size() at time s % times.size().
  const std::string& OutputOf(std::size_t s) const { return outputs[s / times.size()]; }
  double TimeOf(std::size_t s) const { return times[s % times.size()]; }
};

// Consecutive series [first, first + count), each the values of every member, NaN for a
// member that is not done: values[s * members + m] for series first + s.
struct SeriesBatch {
  std::size_t first = 0;
  std::size_t count = 0;
  std::size_t members = 0;
  std::vector<double> values;

  const double* Series(std::size_t s) const { return values.data() + s * members; }
};

class SeriesSource {
 public:
  virtual ~SeriesSource() = default;
  virtual const EnsembleLayout& Layout() const = 0;
  // Hands out every series once, in order, in batches of at most `maxBytes` of values (at
  // least one series each; a batch may end inside an output, so analyses index series one by
  // one). Failures: EAnalysisError or the file's errors.
  virtual void ForEachBatch(std::size_t maxBytes,
                            const std::function<void(const SeriesBatch&)>& use) = 0;
};

// The batch size the analyses use. Each batch reads (and decompresses) every member's chunk
// once, about 1.6 s for 10,000 members of 20 outputs x 400 times; this size reads such a
// file in two passes and keeps the peak memory near 400 MB.
inline constexpr std::size_t kBatchBytes = std::size_t{320} << 20;

// EAnalysisError unless the layout's design is `wanted`: names the file, the design it holds
// and what the analysis needs.
void RequireDesign(const EnsembleLayout& layout, const std::string& analysis,
                   const std::string& wanted);

// The threads an analysis shares its series out over (tasks::ParallelFor): every core, at
// most 8.
std::size_t AnalysisThreads();

// Per-series troubles summarised one line per output and kind, e.g. "Cw at 12 of 400 times
// (1590 to 1601): zero variance ...".
class SeriesNotes {
 public:
  explicit SeriesNotes(const EnsembleLayout& layout) : layout_(layout) {}
  // Thread-safe only across distinct series: `kind` indexes `what`.
  void Resize(std::size_t kinds) { marks_.assign(kinds, std::vector<char>(layout_.Series(), 0)); }
  void Mark(std::size_t kind, std::size_t series) { marks_[kind][series] = 1; }
  std::vector<std::string> Lines(const std::vector<std::string>& what) const;

 private:
  const EnsembleLayout& layout_;
  std::vector<std::vector<char>> marks_;
};

// A number as the analyses write it: %.10g; an empty text for a value that is not finite.
std::string CellText(double x);

}  // namespace kvsorv::analysis
