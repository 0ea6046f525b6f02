#include "analysis/series_notes.h"

#include <cmath>

#include "analysis/cell_text.h"

namespace kvsorv::analysis {

std::vector<std::string> SeriesNotes::Lines(const std::vector<std::string>& what) const {
  std::vector<std::string> lines;
  const std::size_t times = layout_.times.size();
  for (std::size_t kind = 0; kind < marks_.size(); ++kind) {
    for (std::size_t o = 0; o < layout_.outputs.size(); ++o) {
      std::size_t count = 0, first = 0, last = 0;
      for (std::size_t t = 0; t < times; ++t) {
        if (marks_[kind][o * times + t] == 0) continue;
        if (count++ == 0) first = t;
        last = t;
      }
      if (count == 0) continue;
      std::string line = layout_.outputs[o];
      if (!std::isnan(layout_.times[first])) {
        line += " at " + std::to_string(count) + " of " + std::to_string(times) + " times (" +
                CellText(layout_.times[first]);
        if (count > 1) line += " to " + CellText(layout_.times[last]);
        line += ")";
      }
      line += ": " + what[kind];
      lines.push_back(line);
    }
  }
  return lines;
}

}  // namespace kvsorv::analysis
