#pragma once
// The mean and covariance of the points seen so far, updated one point at a time by
// Welford's method: each point's deviation from the mean before and after it joins, so that
// no large sums cancel. The same points in the same order give the same bits.

#include <cstddef>
#include <vector>

namespace kvsorv::calibration {

class RunningMoments {
 public:
  explicit RunningMoments(std::size_t dimension);

  // Takes in a point of the dimension's length.
  void Add(const std::vector<double>& x);

  std::size_t Count() const { return count_; }
  const std::vector<double>& Mean() const { return mean_; }
  // The sample covariance of parameters i and j (divided by count - 1); zero below 2 points.
  double Covariance(std::size_t i, std::size_t j) const;

 private:
  std::size_t count_ = 0;
  std::vector<double> mean_;
  std::vector<std::vector<double>> deviations_;  // sums of products of deviations, j <= i
  std::vector<double> before_;                   // Add's scratch: x - the mean before
};

}  // namespace kvsorv::calibration
