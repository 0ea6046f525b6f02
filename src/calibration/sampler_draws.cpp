#include "calibration/sampler_draws.h"

#include "ensemble/distribution.h"

namespace kvsorv::calibration {

double StandardNormal(ensemble::SeededEngine& g) {
  return ensemble::Quantile(ensemble::Normal{0, 1}, ensemble::Uniform01(g));
}

// The i-th position is drawn among the n - i not yet taken, as the x-th of those: the y with
// y = x + (the taken positions at or below y), found by raising y until it holds.
void DistinctIndices(ensemble::SeededEngine& g, std::size_t n, std::size_t k, std::size_t* out) {
  for (std::size_t i = 0; i < k; ++i) {
    const std::size_t x = ensemble::UniformIndex(g, n - i);
    std::size_t y = x;
    for (;;) {
      std::size_t below = 0;
      for (std::size_t j = 0; j < i; ++j) below += out[j] <= y;
      if (x + below == y) break;
      y = x + below;
    }
    out[i] = y;
  }
}

}  // namespace kvsorv::calibration
