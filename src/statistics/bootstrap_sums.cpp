#include "statistics/bootstrap_sums.h"

#include <cstring>

namespace kvsorv::statistics {

namespace {

// kBootstrapLanes doubles as one value (GCC's vector extension): the compiler keeps each in
// one register of the widest kind the target has, or splits it.
using Lanes = double __attribute__((vector_size(kBootstrapLanes * sizeof(double))));

// kBootstrapBlock resamples and kBootstrapLanes columns at a time in registers, each term row
// read once per block. Always inlined, so that each kernel below compiles it for its target.
[[gnu::always_inline]] inline void Sums(const double* x, std::size_t width, std::size_t points,
                                        const double* weights, std::size_t resamples,
                                        double* sums) {
  for (std::size_t b0 = 0; b0 < resamples; b0 += kBootstrapBlock)
    for (std::size_t c0 = 0; c0 < width; c0 += kBootstrapLanes) {
      Lanes acc[kBootstrapBlock] = {};
      const double* w = weights + b0 * points;
      for (std::size_t i = 0; i < points; ++i) {
        Lanes row;
        std::memcpy(&row, x + i * width + c0, sizeof row);
        for (std::size_t r = 0; r < kBootstrapBlock; ++r) acc[r] += w[r * points + i] * row;
      }
      for (std::size_t r = 0; r < kBootstrapBlock; ++r)
        std::memcpy(sums + (b0 + r) * width + c0, &acc[r], sizeof acc[r]);
    }
}

void SumsPlain(const double* x, std::size_t width, std::size_t points, const double* weights,
               std::size_t resamples, double* sums) {
  Sums(x, width, points, weights, resamples, sums);
}

#if defined(__x86_64__)
__attribute__((target("arch=x86-64-v3"))) void SumsAvx2(const double* x, std::size_t width,
                                                        std::size_t points, const double* weights,
                                                        std::size_t resamples, double* sums) {
  Sums(x, width, points, weights, resamples, sums);
}

__attribute__((target("arch=x86-64-v4"))) void SumsAvx512(const double* x, std::size_t width,
                                                          std::size_t points, const double* weights,
                                                          std::size_t resamples, double* sums) {
  Sums(x, width, points, weights, resamples, sums);
}
#endif

}  // namespace

std::vector<NamedBootstrapKernel> BootstrapKernels() {
  std::vector<NamedBootstrapKernel> kernels{{"default", SumsPlain}};
#if defined(__x86_64__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("x86-64-v3")) kernels.push_back({"avx2", SumsAvx2});
  if (__builtin_cpu_supports("x86-64-v4")) kernels.push_back({"x86-64-v4", SumsAvx512});
#endif
  return kernels;
}

void BootstrapSums(const double* x, std::size_t width, std::size_t points, const double* weights,
                   std::size_t resamples, double* sums) {
  static const BootstrapKernel fastest = BootstrapKernels().back().kernel;
  fastest(x, width, points, weights, resamples, sums);
}

}  // namespace kvsorv::statistics
