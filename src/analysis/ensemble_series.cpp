#include "analysis/ensemble_series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/analysis_error.h"
#include "tasks/worker_pool.h"

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

std::size_t AnalysisThreads() {
  return std::min<std::size_t>(tasks::HardwareThreads(), 8);
}

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

std::string CellText(double x) {
  if (!std::isfinite(x)) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", x);
  return text;
}

}  // namespace kvsorv::analysis
