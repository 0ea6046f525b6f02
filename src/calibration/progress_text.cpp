#include "calibration/progress_text.h"

#include <cmath>
#include <cstdio>

#include "statistics/convergence.h"

namespace kvsorv::calibration {

namespace {

std::string Fixed(double x, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, x);
  return text;
}

}  // namespace

std::string DurationText(double seconds) {
  if (seconds < 90) return Fixed(std::ceil(seconds), 0) + " s";
  if (seconds < 5400) return Fixed(std::ceil(seconds / 60), 0) + " min";
  return Fixed(seconds / 3600, 1) + " h";
}

ProgressText::ProgressText(int chains, std::size_t wanted)
    : chains_(static_cast<std::size_t>(chains)), wanted_(wanted) {}

void ProgressText::Add(const Generation& g, bool timed) {
  if (draws_.empty() && !g.chains.empty())
    draws_.assign(g.chains.front().x.size(), std::vector<std::vector<double>>(chains_));
  for (std::size_t c = 0; c < g.chains.size() && c < chains_; ++c)
    for (std::size_t j = 0; j < draws_.size(); ++j) draws_[j][c].push_back(g.chains[c].x[j]);
  if (!timed) return;
  ++timedGenerations_;
  for (std::size_t c = 0; c < g.accepted.size(); ++c) {
    ++proposals_;
    accepted_ += g.accepted[c];
    failed_ += g.failed[c];
  }
}

std::string ProgressText::Text(std::size_t done) const {
  std::string text = "generation " + std::to_string(done) + " of " + std::to_string(wanted_);
  if (proposals_ > 0) {
    text += ": acceptance " +
            Fixed(100.0 * static_cast<double>(accepted_) / static_cast<double>(proposals_), 0) +
            " %";
    text += ", failed runs " +
            Fixed(100.0 * static_cast<double>(failed_) / static_cast<double>(proposals_), 1) + " %";
  }
  // R-hat of the second half of the draws so far, the largest over the quantities.
  double rhat = 0;
  for (const auto& quantity : draws_) {
    const std::size_t n = quantity.empty() ? 0 : quantity.front().size();
    if (n < 8) break;
    std::vector<std::vector<double>> half;
    for (const auto& chain : quantity)
      half.emplace_back(chain.begin() + static_cast<std::ptrdiff_t>(n / 2), chain.end());
    const double r = statistics::Diagnose(half).rhat;
    if (std::isnan(r) || r > rhat) rhat = std::isnan(r) ? INFINITY : r;
  }
  if (rhat > 0)
    text += ", R-hat " + (std::isfinite(rhat) ? Fixed(rhat, 3) : std::string("undefined"));
  if (timedGenerations_ > 0 && done < wanted_) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun_).count();
    text += ", " +
            DurationText(seconds / static_cast<double>(timedGenerations_) *
                         static_cast<double>(wanted_ - done)) +
            " left";
  }
  return text;
}

}  // namespace kvsorv::calibration
