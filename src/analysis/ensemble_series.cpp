#include "analysis/ensemble_series.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "analysis/analysis_error.h"

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

void ParallelFor(std::size_t n, const std::function<void(std::size_t)>& body) {
  const std::size_t threads =
      std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), 8, n});
  if (threads <= 1) {
    for (std::size_t i = 0; i < n; ++i) body(i);
    return;
  }
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex guard;
  const auto work = [&] {
    try {
      for (std::size_t i = next++; i < n; i = next++) body(i);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(guard);
      if (!failure) failure = std::current_exception();
      next = n;
    }
  };
  std::vector<std::thread> pool;
  for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (auto& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
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
