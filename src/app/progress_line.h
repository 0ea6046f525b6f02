#pragma once
// How far a long command has come, on stderr: on a terminal one line rewritten in place; to a
// file or a pipe (a batch job's log, nohup) a plain line at a steady pace, and one at the end.

#include <chrono>
#include <cstddef>
#include <string>

namespace kvsorv::cli {

class ProgressLine {
 public:
  // `unit` names what is counted ("members"), `label` starts the line when not empty;
  // `countFailures` adds the failures to the line. Nothing is shown in the first
  // `quietSeconds` (at most ProgressPace()), so that a short command prints no progress.
  ProgressLine(std::string unit, std::string label, bool countFailures, double quietSeconds);
  // Shows the count when due: on a terminal a few times a second, otherwise once per
  // ProgressPace() seconds.
  void Update(std::size_t finished, std::size_t total, std::size_t failed = 0);
  // Shows the last count on a line of its own, unless the command took less than
  // `quietSeconds` and showed nothing.
  void End(std::size_t finished, std::size_t total, std::size_t failed = 0);

 private:
  using Clock = std::chrono::steady_clock;
  void Show(std::size_t finished, std::size_t total, std::size_t failed, double seconds, bool last);

  std::string unit_, label_;
  bool countFailures_;
  double quietSeconds_;
  bool terminal_;
  double pace_;
  Clock::time_point start_;
  double shownAt_ = 0;  // seconds from the start
  std::size_t shownFinished_ = 0;
  bool shown_ = false;
};

// Seconds between the plain lines: 15, or the KVSORV_PROGRESS_SECONDS of the environment
// (0: a line at every update), which the tests use.
double ProgressPace();

}  // namespace kvsorv::cli
