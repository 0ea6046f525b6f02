#pragma once
// Every bootstrap resample's column sums at once: the product of the resamples' weights (how
// often each drew each base point) and a table of terms, one row per base point. The kernel
// has a plain version and versions for the vector units of x86-64 machines; all give the same
// bits, because each lane adds the same products in the same order and products are never
// fused with additions (the project compiles with -ffp-contract=off). Not Eigen's matrix
// product: it sums the points in blocks, which changes the intervals' bits from a few hundred
// points on (bench/bootstrap_sums_bench.cpp compares both).

#include <cstddef>
#include <vector>

namespace kvsorv::statistics {

// Columns summed together in one vector register of the widest kernel; the terms' `width`
// must be a multiple of it.
inline constexpr std::size_t kBootstrapLanes = 8;
// Resamples summed together; `resamples` must be a multiple of it.
inline constexpr std::size_t kBootstrapBlock = 8;

// x: points x width terms; weights: resamples x points; sums: resamples x width, written.
using BootstrapKernel = void (*)(const double* x, std::size_t width, std::size_t points,
                                 const double* weights, std::size_t resamples, double* sums);

struct NamedBootstrapKernel {
  const char* name;  // "default", "avx2", "x86-64-v4"
  BootstrapKernel kernel;
};

// The kernels this machine can run, the plain one first.
std::vector<NamedBootstrapKernel> BootstrapKernels();

// The fastest kernel this machine can run.
void BootstrapSums(const double* x, std::size_t width, std::size_t points, const double* weights,
                   std::size_t resamples, double* sums);

}  // namespace kvsorv::statistics
