#include "ensemble/output_times.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace kvsorv::ensemble {

std::vector<double> OutputTimes(const RunTimes& t) {
  std::vector<double> times{t.start};
  const long long perOutput = std::llround(t.outputStep / t.step);
  long long counter = 1;
  for (double present = t.start; present + t.step <= t.stop; present += t.step, ++counter) {
    if (counter != perOutput) continue;
    if (present >= kFirstOutputYear) times.push_back(present + t.step);
    counter = 0;
  }
  return times;
}

std::optional<std::size_t> LineAt(const std::vector<double>& lines, double t, double outputStep) {
  const auto next = std::lower_bound(lines.begin(), lines.end(), t);
  const bool after = next != lines.end() && *next - t < 0.5 * outputStep;
  const bool before = next != lines.begin() && t - *(next - 1) < 0.5 * outputStep;
  const auto position = static_cast<std::size_t>(next - lines.begin());
  if (before && !(after && *next - t < t - *(next - 1))) return position - 1;
  if (after) return position;
  return std::nullopt;
}

std::string NearestLinesText(const std::vector<double>& lines, double t) {
  const auto text = [](double x) {
    std::ostringstream s;
    s << std::setprecision(12) << x;
    return s.str();
  };
  const auto next = std::lower_bound(lines.begin(), lines.end(), t);
  std::string nearest;
  if (next != lines.begin()) nearest = text(*(next - 1));
  if (next != lines.end()) nearest += (nearest.empty() ? "" : " and ") + text(*next);
  return nearest;
}

}  // namespace kvsorv::ensemble
