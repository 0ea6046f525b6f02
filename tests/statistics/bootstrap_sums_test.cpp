// The bootstrap's resample sums against the sums written out one product at a time.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "statistics/bootstrap_sums.h"

namespace kvsorv::statistics {
namespace {

// Every kernel, and BootstrapSums, gives the bits of the plain sum in order of the points
// (products are never fused with additions), so an interval is the same on every machine.
TEST(BootstrapSums, EveryKernel_GivesTheBitsOfTheDirectSum) {
  constexpr std::size_t width = 2 * kBootstrapLanes, points = 37, resamples = 2 * kBootstrapBlock;
  std::vector<double> x(points * width), weights(resamples * points);
  std::mt19937_64 g(11);
  for (double& v : x) v = std::uniform_real_distribution<double>(-500, 500)(g);
  for (double& w : weights) w = static_cast<double>(g() % 4);
  std::vector<double> direct(resamples * width);
  for (std::size_t r = 0; r < resamples; ++r)
    for (std::size_t c = 0; c < width; ++c) {
      double s = 0;
      for (std::size_t i = 0; i < points; ++i) s += weights[r * points + i] * x[i * width + c];
      direct[r * width + c] = s;
    }
  std::vector<NamedBootstrapKernel> kernels = BootstrapKernels();
  kernels.push_back({"BootstrapSums", BootstrapSums});
  for (const NamedBootstrapKernel& k : kernels) {
    std::vector<double> sums(resamples * width);
    k.kernel(x.data(), width, points, weights.data(), resamples, sums.data());
    EXPECT_EQ(std::memcmp(sums.data(), direct.data(), sums.size() * sizeof(double)), 0) << k.name;
  }
}

}  // namespace
}  // namespace kvsorv::statistics
