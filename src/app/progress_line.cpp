#include "app/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kvsorv::cli {

namespace {

constexpr double kPlainPace = 15.0;     // s between the lines of a log
constexpr double kTerminalPace = 0.25;  // s between rewrites of a terminal's line

}  // namespace

double ProgressPace() {
  const char* text = std::getenv("KVSORV_PROGRESS_SECONDS");
  if (text == nullptr) return kPlainPace;
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  return end != text && *end == '\0' && seconds >= 0 && std::isfinite(seconds) ? seconds
                                                                               : kPlainPace;
}

ProgressLine::ProgressLine(std::string unit, std::string label, bool countFailures,
                           double quietSeconds)
    : unit_(std::move(unit)),
      label_(std::move(label)),
      countFailures_(countFailures),
      quietSeconds_(std::min(quietSeconds, ProgressPace())),
      terminal_(isatty(STDERR_FILENO) != 0),
      pace_(terminal_ ? kTerminalPace : ProgressPace()),
      start_(Clock::now()) {}

void ProgressLine::Update(std::size_t finished, std::size_t total, std::size_t failed) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  if (seconds < quietSeconds_ || seconds - shownAt_ < pace_) return;
  Show(finished, total, failed, seconds, false);
}

void ProgressLine::End(std::size_t finished, std::size_t total, std::size_t failed) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  if (!shown_ && seconds < quietSeconds_) return;
  if (!terminal_ && shown_ && shownFinished_ == finished) return;  // the last line said it
  Show(finished, total, failed, seconds, true);
}

void ProgressLine::Show(std::size_t finished, std::size_t total, std::size_t failed, double seconds,
                        bool last) {
  const double rate = seconds > 0 ? static_cast<double>(finished) / seconds : 0.0;
  const double left = rate > 0 ? static_cast<double>(total - finished) / rate : 0.0;
  std::string failures;
  if (countFailures_) failures = ", " + std::to_string(failed) + " failed";
  std::fprintf(stderr, "%s%s%zu/%zu %s%s, %.1f %s/s, %.0f s left%s", terminal_ ? "\r" : "",
               label_.empty() ? "" : (label_ + ": ").c_str(), finished, total, unit_.c_str(),
               failures.c_str(), rate, unit_.c_str(), left, terminal_ && !last ? "   " : "\n");
  std::fflush(stderr);
  shownAt_ = seconds;
  shownFinished_ = finished;
  shown_ = true;
}

}  // namespace kvsorv::cli
