#include "calibration/running_moments.h"

namespace kvsorv::calibration {

RunningMoments::RunningMoments(std::size_t dimension)
    : mean_(dimension, 0.0),
      deviations_(dimension, std::vector<double>(dimension, 0.0)),
      before_(dimension) {}

void RunningMoments::Add(const std::vector<double>& x) {
  ++count_;
  const double n = static_cast<double>(count_);
  for (std::size_t i = 0; i < mean_.size(); ++i) {
    before_[i] = x[i] - mean_[i];
    mean_[i] += before_[i] / n;
  }
  for (std::size_t i = 0; i < mean_.size(); ++i)
    for (std::size_t j = 0; j <= i; ++j) deviations_[i][j] += before_[i] * (x[j] - mean_[j]);
}

double RunningMoments::Covariance(std::size_t i, std::size_t j) const {
  if (count_ < 2) return 0;
  return (i >= j ? deviations_[i][j] : deviations_[j][i]) / static_cast<double>(count_ - 1);
}

}  // namespace kvsorv::calibration
