#pragma once
// Troubles an analysis met in some of its series, summarised for the user.

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/series_source.h"

namespace kvsorv::analysis {

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

}  // namespace kvsorv::analysis
