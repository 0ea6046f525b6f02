#include "statistics/convergence.h"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <cmath>
#include <complex>
#include <limits>
#include <stdexcept>
#include <unsupported/Eigen/FFT>

#include "statistics/quantiles.h"
#include "statistics/ranks.h"

namespace kvsorv::statistics {

namespace {

using Chains = std::vector<std::vector<double>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void CheckChains(const Chains& chains, std::size_t fewest) {
  if (chains.empty()) throw std::invalid_argument("there are no chains");
  for (const auto& c : chains)
    if (c.size() != chains[0].size())
      throw std::invalid_argument("the chains are not all of the same length");
  if (chains[0].size() < fewest)
    throw std::invalid_argument("a chain has fewer than " + std::to_string(fewest) + " draws");
}

bool AllFinite(const Chains& chains) {
  for (const auto& c : chains)
    for (const double x : c)
      if (!std::isfinite(x)) return false;
  return true;
}

// Each chain's first and second half; the middle draw of an odd length is left out.
Chains Split(const Chains& chains) {
  const auto half = static_cast<long>(chains[0].size() / 2);
  Chains halves;
  halves.reserve(2 * chains.size());
  for (const auto& c : chains) {
    halves.emplace_back(c.begin(), c.begin() + half);
    halves.emplace_back(c.end() - half, c.end());
  }
  return halves;
}

// All draws, chain after chain.
std::vector<double> Pooled(const Chains& chains) {
  std::vector<double> all;
  all.reserve(chains.size() * chains[0].size());
  for (const auto& c : chains) all.insert(all.end(), c.begin(), c.end());
  return all;
}

// Chains of the same shape holding the pooled values, chain after chain.
Chains Unpooled(const std::vector<double>& all, std::size_t count) {
  const std::size_t n = all.size() / count;
  Chains chains(count);
  for (std::size_t m = 0; m < count; ++m)
    chains[m].assign(all.begin() + static_cast<long>(m * n),
                     all.begin() + static_cast<long>((m + 1) * n));
  return chains;
}

// In double precision throughout (Boost's default would compute in long double).
double StandardNormalQuantile(double p) {
  using Policy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;
  return -std::sqrt(2.0) * boost::math::erfc_inv(2 * p, Policy());
}

// The normal scores of the draws' average ranks r among all S draws:
// Phi^-1((r - 3/8) / (S + 1/4)). Draws that tie share a score.
Chains RankNormalised(const std::vector<double>& all, std::size_t count) {
  std::vector<double> z = AverageRanks(all).ranks;
  const double s = static_cast<double>(all.size());
  for (double& r : z) r = StandardNormalQuantile((r - 0.375) / (s + 0.25));
  return Unpooled(z, count);
}

// The chains' means and variances (divisor n - 1), W (the mean of the variances) and
// var+ = (n - 1) / n W + B / n, B / n being the variance of the means (divisor M - 1).
struct Moments {
  std::vector<double> means;
  double within = 0, varPlus = 0;
};

Moments MomentsOf(const Chains& chains) {
  const std::size_t count = chains.size(), n = chains[0].size();
  const auto dn = static_cast<double>(n);
  Moments m;
  m.means.resize(count);
  double grand = 0;
  for (std::size_t c = 0; c < count; ++c) {
    const auto& x = chains[c];
    // A constant chain has its value as mean and no variance exactly, whatever the rounding.
    if (std::all_of(x.begin(), x.end(), [&](double v) { return v == x[0]; })) {
      m.means[c] = x[0];
    } else {
      double sum = 0, squares = 0;
      for (const double v : x) sum += v;
      m.means[c] = sum / dn;
      for (const double v : x) squares += (v - m.means[c]) * (v - m.means[c]);
      m.within += squares / (dn - 1);
    }
    grand += m.means[c];
  }
  m.within /= static_cast<double>(count);
  grand /= static_cast<double>(count);
  double between = 0;  // B / n
  if (count > 1) {
    for (const double mean : m.means) between += (mean - grand) * (mean - grand);
    between /= static_cast<double>(count - 1);
  }
  m.varPlus = (dn - 1) / dn * m.within + between;
  return m;
}

// sqrt(var+ / W): NaN when every draw is the same, +infinity when only the chains differ.
double Rhat(const Chains& chains) {
  const Moments m = MomentsOf(chains);
  return std::sqrt(m.varPlus / m.within);
}

// The smallest length of at least `least` with no prime factor above 5 that is a multiple of
// 4: the lengths the FFT is quickest at, its real transform needing the multiple of 4.
std::size_t FftLength(std::size_t least) {
  std::size_t best = 4;
  while (best < least) best *= 2;
  for (std::size_t fives = 1; fives < best; fives *= 5)
    for (std::size_t threes = fives; threes < best; threes *= 3) {
      std::size_t length = 4 * threes;
      while (length < least) length *= 2;
      best = std::min(best, length);
    }
  return best;
}

// Sum over chains of the sums of products of centred draws t apart, for t in [0, n): the
// FFT of each centred chain zero-padded to at least 2n (so that the circular correlation is
// the linear one), its power spectrum transformed back.
std::vector<double> SummedLagProducts(const Chains& chains, const std::vector<double>& means) {
  const std::size_t n = chains[0].size();
  const std::size_t size = FftLength(2 * n);
  Eigen::FFT<double> fft;
  fft.SetFlag(Eigen::FFT<double>::HalfSpectrum);
  std::vector<double> padded(size, 0.0), back(size);
  std::vector<std::complex<double>> spectrum(size / 2 + 1);
  std::vector<double> sums(n, 0.0);
  for (std::size_t c = 0; c < chains.size(); ++c) {
    for (std::size_t i = 0; i < n; ++i) padded[i] = chains[c][i] - means[c];
    fft.fwd(spectrum.data(), padded.data(), static_cast<Eigen::Index>(size));
    for (auto& f : spectrum) f = std::norm(f);
    fft.inv(back.data(), spectrum.data(), static_cast<Eigen::Index>(size));
    for (std::size_t t = 0; t < n; ++t) sums[t] += back[t];
  }
  return sums;
}

double Ess(const Chains& chains) {
  const std::size_t count = chains.size(), n = chains[0].size();
  const Moments m = MomentsOf(chains);
  if (!(m.varPlus > 0)) return kNaN;
  const std::vector<double> lagged = SummedLagProducts(chains, m.means);
  // rho_t = 1 - (W - mean over chains of s^2 rho_t,chain) / var+, each chain's term being its
  // sum of lagged products over n - 1.
  const double perChain = 1.0 / (static_cast<double>(count) * static_cast<double>(n - 1));
  const auto rho = [&](std::size_t t) { return 1 - (m.within - lagged[t] * perChain) / m.varPlus; };
  // Geyer: the sums of pairs P_k = rho_2k + rho_2k+1 while positive, each at most the one
  // before; tau = -1 + 2 sum P_k.
  double tau = -1, before = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; 2 * k + 1 < n; ++k) {
    const double pair = rho(2 * k) + rho(2 * k + 1);
    if (!(pair > 0)) break;
    before = std::min(before, pair);
    tau += 2 * before;
  }
  const double s = static_cast<double>(count * n);
  // Antithetic chains can bring tau near zero: the estimate stops at S log10 S.
  tau = std::max(tau, 1 / std::log10(s));
  return s / tau;
}

// The chains with each draw replaced by 1 when at most `q`, else 0.
Chains AtMost(const Chains& chains, double q) {
  Chains indicator = chains;
  for (auto& c : indicator)
    for (double& x : c) x = x <= q ? 1 : 0;
  return indicator;
}

}  // namespace

Convergence Diagnose(const std::vector<std::vector<double>>& chains) {
  CheckChains(chains, 4);
  if (!AllFinite(chains)) return {kNaN, kNaN, kNaN};
  const Chains split = Split(chains);
  const std::size_t count = split.size();
  const std::vector<double> all = Pooled(split);
  std::vector<double> scratch = all;
  const double levels[] = {0.05, 0.5, 0.95};
  double q[3];
  Quantiles(scratch, levels, q);
  std::vector<double> folded = all;
  for (double& x : folded) x = std::abs(x - q[1]);

  const Chains z = RankNormalised(all, count);
  Convergence r;
  // fmax and fmin pass over a NaN of draws all alike once folded, or indicators all alike.
  r.rhat = std::fmax(Rhat(z), Rhat(RankNormalised(folded, count)));
  r.essBulk = Ess(z);
  r.essTail = std::fmin(Ess(AtMost(split, q[0])), Ess(AtMost(split, q[2])));
  return r;
}

double EffectiveSampleSize(const std::vector<std::vector<double>>& chains) {
  CheckChains(chains, 2);
  return AllFinite(chains) ? Ess(chains) : kNaN;
}

}  // namespace kvsorv::statistics
