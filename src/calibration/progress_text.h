#pragma once
// The line that tells how a calibration goes: generations done, acceptance rate, failed
// runs, the largest R-hat of the draws so far and the time left.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "calibration/target.h"

namespace kvsorv::calibration {

class ProgressText {
 public:
  ProgressText(int chains, std::size_t wanted);
  // A generation run now (`timed`) or replayed from the file.
  void Add(const Generation& g, bool timed = true);
  // "generation 120 of 3000: acceptance 23 %, failed runs 0.1 %, R-hat 1.05, 2 min left".
  std::string Text(std::size_t done) const;

 private:
  std::size_t chains_, wanted_;
  std::size_t proposals_ = 0, accepted_ = 0, failed_ = 0, timedGenerations_ = 0;
  std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now();
  std::vector<std::vector<std::vector<double>>> draws_;  // [quantity][chain][generation]
};

// A duration in words: "45 s", "12 min", "3.5 h".
std::string DurationText(double seconds);

}  // namespace kvsorv::calibration
