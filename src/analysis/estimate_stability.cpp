#include "analysis/estimate_stability.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kvsorv::analysis {

namespace {

// Three significant digits: enough to say why, and never a comma (the reason is a CSV cell).
std::string Short(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", x);
  return text;
}

std::string TimeText(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", t);
  return text;
}

Stability Unstable(std::string reason) {
  return {Stability::Verdict::kUnstable, std::move(reason)};
}

Stability Stable() {
  return {Stability::Verdict::kStable, {}};
}

void Append(std::string& reasons, const std::string& reason) {
  if (reason.empty() || reasons == reason) return;
  if (!reasons.empty()) reasons += "; ";
  reasons += reason;
}

}  // namespace

const char* StableCell(const Stability& s) {
  switch (s.verdict) {
    case Stability::Verdict::kStable:
      return "yes";
    case Stability::Verdict::kUnstable:
      return "no";
    case Stability::Verdict::kUnjudged:
      break;
  }
  return "";
}

Stability Combined(const Stability& a, const Stability& b) {
  using enum Stability::Verdict;
  Stability c;
  if (a.verdict == kUnstable || b.verdict == kUnstable) {
    c.verdict = kUnstable;
    for (const Stability* s : {&a, &b})
      if (s->verdict == kUnstable) Append(c.reason, s->reason);
    return c;
  }
  c.verdict = a.verdict == kUnjudged || b.verdict == kUnjudged ? kUnjudged : kStable;
  Append(c.reason, a.reason);
  Append(c.reason, b.reason);
  return c;
}

Stability SobolIndexStability(const char* name, double estimate, double low, double high) {
  if (!std::isfinite(estimate)) return {};
  if (!std::isfinite(low) || !std::isfinite(high))
    return {Stability::Verdict::kUnjudged, "no interval"};
  std::string reasons;
  const std::string interval = Short(low) + " to " + Short(high);
  if (high - low > kWidestSobolInterval)
    Append(reasons, std::string(name) + " interval " + interval + " wider than " +
                        Short(kWidestSobolInterval));
  if (low > 1 + kSobolRangeSlack)
    Append(reasons,
           std::string(name) + " " + Short(estimate) + " above 1 beyond its interval " + interval);
  if (high < -kSobolRangeSlack)
    Append(reasons,
           std::string(name) + " " + Short(estimate) + " below 0 beyond its interval " + interval);
  return reasons.empty() ? Stable() : Unstable(reasons);
}

Stability MorrisStability(int effects, double mu, double muStar, double sigma,
                          double largestMuStar) {
  if (!std::isfinite(muStar)) return {};
  if (effects < kSteadyEffects)
    return Unstable("only " + std::to_string(effects) + (effects == 1 ? " effect" : " effects") +
                    " (fewer than " + std::to_string(kSteadyEffects) + ")");
  // The variance of the absolute effects from their mean square, which the effects' own mean
  // and variance give: no second pass over the effects.
  const double n = effects;
  const double meanSquare = ((n - 1) * sigma * sigma + n * mu * mu) / n;
  const double error = std::sqrt(std::max(0.0, (meanSquare - muStar * muStar) * n / (n - 1)) / n);
  if (!std::isfinite(error)) return {};
  if (2 * error > muStar && 2 * error > 0.1 * largestMuStar)
    return Unstable("mu* " + Short(muStar) + " with standard error " + Short(error) +
                    ": its 95 % interval reaches 0");
  return Stable();
}

Stability LocalStability(double coefficient, double halfStep, bool withinTolerance,
                         double tolerance) {
  if (!std::isfinite(coefficient) || !std::isfinite(halfStep)) return {};
  if (withinTolerance) return Stable();
  return Unstable("S_h " + Short(coefficient) + " and S_h/2 " + Short(halfStep) +
                  " differ by more than the tolerance " + Short(tolerance));
}

Stability MembersStability(int used, int of) {
  if (used <= 0) return {};
  const std::string count =
      "only " + std::to_string(used) + " of " + std::to_string(of) + " members";
  if (used < kSteadyMembers)
    return Unstable(count + " (fewer than " + std::to_string(kSteadyMembers) + ")");
  if (2 * used < of) return Unstable(count + " (fewer than half)");
  return Stable();
}

void UnstableSummary::Add(const std::string& output, const std::string& parameter, double time,
                          const Stability& s) {
  ++rows_;
  if (!s.Unstable()) return;
  ++unstable_;
  auto key = std::make_pair(output, parameter);
  auto at = entries_.find(key);
  if (at == entries_.end()) {
    order_.push_back(key);
    at = entries_.emplace(std::move(key), Entry{{}, s.reason}).first;
  }
  at->second.times.push_back(time);
}

std::vector<std::string> UnstableSummary::Lines(const std::string& what, std::size_t times) const {
  std::vector<std::string> lines;
  if (unstable_ == 0) return lines;
  lines.push_back(std::to_string(unstable_) + " of " + std::to_string(rows_) + " " + what +
                  " are not yet usable (the CSV's stable column says no, and why)");
  for (const auto& key : order_) {
    const Entry& e = entries_.at(key);
    // "NEP, Q10d at 3 of 7 times (1602 1603 1604); at 1602: ST interval ..."
    std::string line = key.first + (key.second.empty() ? "" : ", " + key.second);
    if (!std::isnan(e.times.front()) && times == 1) line += " at " + TimeText(e.times.front());
    if (!std::isnan(e.times.front()) && times > 1) {
      line += " at " + std::to_string(e.times.size()) + " of " + std::to_string(times) + " times (";
      for (std::size_t i = 0; i < std::min<std::size_t>(e.times.size(), 8); ++i) {
        if (i > 0) line += ' ';
        line += TimeText(e.times[i]);
      }
      line += e.times.size() > 8 ? " ...); at " : "); at ";
      line += TimeText(e.times.front());
    }
    line += ": " + e.reason;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace kvsorv::analysis
