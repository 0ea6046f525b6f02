#pragma once
// Type-7 sample quantiles: the quantile at level p of n values is the value at position
// p (n - 1) of the sorted values (from 0), interpolated linearly between the two order
// statistics around it. Found by selection (nth_element) rather than a full sort.

#include <span>

namespace kvsorv::statistics {

// The quantile at each of `levels` (each in [0, 1]) into `out`, as many as `levels`. NaN
// values are left out; with none left every quantile is NaN. `values` is reordered. Levels in
// rising order are the fastest: each selection then keeps to the values above the one before.
// No failures.
void Quantiles(std::span<double> values, std::span<const double> levels, std::span<double> out);

// The quantile at one level `p` in [0, 1]; as Quantiles.
double Quantile(std::span<double> values, double p);

}  // namespace kvsorv::statistics
