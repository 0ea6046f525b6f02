// Convergence of Markov chains: effective sizes of independent and AR(1) chains, whose true
// values are known, R-hat of chains apart in location, in spread alone or drifting, and the
// edge cases of the draws.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "ensemble/distribution.h"
#include "ensemble/seeded_random.h"
#include "statistics/convergence.h"

namespace kvsorv::statistics {
namespace {

using Chains = std::vector<std::vector<double>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// `count` stationary AR(1) chains x_t = phi x_t-1 + sqrt(1 - phi^2) e_t of standard normal
// margins; phi = 0 gives independent draws.
Chains Ar1Chains(double phi, std::size_t count, std::size_t draws) {
  Chains chains(count, std::vector<double>(draws));
  for (std::size_t c = 0; c < count; ++c) {
    ensemble::SeededEngine g = ensemble::StreamEngine(20240611, 1, c);
    const auto normal = [&] {
      return ensemble::Quantile(ensemble::Normal{0, 1}, ensemble::Uniform01(g));
    };
    chains[c][0] = normal();
    for (std::size_t t = 1; t < draws; ++t)
      chains[c][t] = phi * chains[c][t - 1] + std::sqrt(1 - phi * phi) * normal();
  }
  return chains;
}

// The effective size of S draws of AR(1) chains is S (1 - phi) / (1 + phi). The estimates of
// 80,000 draws lie within a few percent of it (some 2 % for independent draws, 6 % at phi =
// 0.9); the tolerances are 2 to 3 of those spreads.
TEST(EffectiveSampleSize, Ar1Chains_GiveTheirKnownEffectiveSize) {
  struct Case {
    double phi, tolerance;  // relative
  };
  const Case cases[] = {{.phi = 0, .tolerance = 0.06},
                        {.phi = 0.5, .tolerance = 0.15},
                        {.phi = 0.9, .tolerance = 0.15}};
  constexpr std::size_t kChains = 4, kDraws = 20000;
  for (const Case& c : cases) {
    const Chains chains = Ar1Chains(c.phi, kChains, kDraws);
    const double expected = kChains * kDraws * (1 - c.phi) / (1 + c.phi);
    EXPECT_NEAR(EffectiveSampleSize(chains) / expected, 1, c.tolerance) << c.phi;
    const Convergence d = Diagnose(chains);
    EXPECT_NEAR(d.essBulk / expected, 1, c.tolerance) << c.phi;
    EXPECT_LT(d.rhat, 1.01) << c.phi;
    if (c.phi == 0) {
      EXPECT_NEAR(d.essTail / expected, 1, c.tolerance);
    }
  }
}

// One of four chains shifted or widened, or every chain drifting alike (which only the split
// into halves shows), by amounts that put R-hat near 1.1; chains that agree stay below 1.01.
TEST(Diagnose, ChainsThatDisagree_GiveRhatWellAboveOne) {
  struct Case {
    const char* what;
    double shift, scale, drift;  // of the last chain; of every chain over its length
  };
  const Case cases[] = {
      {.what = "the last chain's mean one sd off", .shift = 1, .scale = 1, .drift = 0},
      {.what = "the last chain three times as wide (the folded draws)",
       .shift = 0,
       .scale = 3,
       .drift = 0},
      {.what = "every chain drifting by 2 sd over its length (the halves)",
       .shift = 0,
       .scale = 1,
       .drift = 2},
  };
  constexpr std::size_t kDraws = 1000;
  for (const Case& c : cases) {
    Chains chains = Ar1Chains(0, 4, kDraws);
    for (double& x : chains.back()) x = c.shift + c.scale * x;
    for (auto& chain : chains)
      for (std::size_t t = 0; t < kDraws; ++t)
        chain[t] += c.drift * (static_cast<double>(t) / kDraws - 0.5);
    EXPECT_GT(Diagnose(chains).rhat, 1.05) << c.what;
  }
}

// Bulk and tail effective sizes depend on the draws' ranks alone.
TEST(Diagnose, MonotoneTransform_LeavesTheEffectiveSizesAlone) {
  const Chains chains = Ar1Chains(0.5, 4, 500);
  Chains transformed = chains;
  for (auto& c : transformed)
    for (double& x : c) x = std::exp(3 * x);
  const Convergence a = Diagnose(chains), b = Diagnose(transformed);
  EXPECT_EQ(a.essBulk, b.essBulk);
  EXPECT_EQ(a.essTail, b.essTail);
}

TEST(Diagnose, OddLength_LeavesOutTheMiddleDraw) {
  const Chains even = Ar1Chains(0.5, 3, 200);
  Chains odd = even;
  for (auto& c : odd) c.insert(c.begin() + 100, 1e9);
  const Convergence a = Diagnose(even), b = Diagnose(odd);
  EXPECT_EQ(a.rhat, b.rhat);
  EXPECT_EQ(a.essBulk, b.essBulk);
  EXPECT_EQ(a.essTail, b.essTail);
}

TEST(Diagnose, DegenerateDraws_GiveNaNOrInfinity) {
  struct Case {
    const char* what;
    Chains chains;
    bool infiniteRhat;  // else all NaN
  };
  const Case cases[] = {
      {.what = "all draws the same",
       .chains = {{0.1, 0.1, 0.1, 0.1}, {0.1, 0.1, 0.1, 0.1}},
       .infiniteRhat = false},
      {.what = "a NaN draw", .chains = {{1, 2, kNaN, 4}, {4, 3, 2, 1}}, .infiniteRhat = false},
      {.what = "an infinite draw",
       .chains = {{1, 2, INFINITY, 4}, {4, 3, 2, 1}},
       .infiniteRhat = false},
      {.what = "each chain constant at its own value",
       .chains = {{1, 1, 1, 1}, {2, 2, 2, 2}},
       .infiniteRhat = true},
  };
  for (const Case& c : cases) {
    const Convergence d = Diagnose(c.chains);
    if (c.infiniteRhat) {
      EXPECT_EQ(d.rhat, INFINITY) << c.what;
    } else {
      EXPECT_TRUE(std::isnan(d.rhat) && std::isnan(d.essBulk) && std::isnan(d.essTail)) << c.what;
      EXPECT_TRUE(std::isnan(EffectiveSampleSize(c.chains))) << c.what;
    }
  }
}

TEST(Diagnose, ChainsOfNoUse_AreInvalidArguments) {
  EXPECT_THROW(Diagnose({}), std::invalid_argument);
  EXPECT_THROW(Diagnose({{1, 2, 3, 4}, {1, 2, 3}}), std::invalid_argument);
  EXPECT_THROW(Diagnose({{1, 2, 3}, {1, 2, 3}}), std::invalid_argument);
  EXPECT_THROW(EffectiveSampleSize({{1}, {2}}), std::invalid_argument);
}

}  // namespace
}  // namespace kvsorv::statistics
