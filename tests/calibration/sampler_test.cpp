// The samplers on analytic densities (no model): the moments and quantiles of their draws
// against the densities' own, within a few Monte Carlo standard errors; and the same chains
// on any number of threads, after a replay, and through failed runs of the target.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "calibration/adaptive_metropolis.h"
#include "calibration/dezs_sampler.h"
#include "calibration/sampler_draws.h"
#include "ensemble/seeded_random.h"

namespace kvsorv::calibration {
namespace {

using Point = std::vector<double>;
using LogDensity = std::function<double(const Point&)>;

enum class Kind { kDezs, kAdaptiveMetropolis };

const char* Name(Kind k) {
  return k == Kind::kDezs ? "DE-MCzs" : "adaptive Metropolis";
}

Target FromDensity(LogDensity f) {
  return [f = std::move(f)](const Point& x) {
    const double l = f(x);
    return Evaluation{.logPosterior = l, .logLikelihood = l};
  };
}

// A density, what is known of it, and the normal "prior" the chains and the archive start
// from.
struct Problem {
  const char* name = "";
  LogDensity logDensity = {};
  Point mean = {}, sd = {};
  struct Below {
    std::size_t parameter;
    double value, probability;  // P(x[parameter] <= value)
  };
  std::vector<Below> below = {};
  Point priorMean = {}, priorSd = {};
};

Point PriorDraw(const Problem& p, ensemble::SeededEngine& g) {
  Point x(p.priorMean.size());
  for (std::size_t j = 0; j < x.size(); ++j)
    x[j] = p.priorMean[j] + p.priorSd[j] * StandardNormal(g);
  return x;
}

// The usual settings: 10 archive points per parameter, the prior's spread as the scale and a
// tenth of it as the initial proposal.
std::unique_ptr<Sampler> Make(Kind kind, const Problem& p, const Target& target, int chains,
                              std::uint64_t seed, std::vector<ChainState> start = {}) {
  ensemble::SeededEngine g = ensemble::StreamEngine(seed, 99, 0);
  for (int c = static_cast<int>(start.size()); c < chains; ++c) {
    const Point x = PriorDraw(p, g);
    start.push_back({x, target(x)});
  }
  if (kind == Kind::kDezs) {
    std::vector<Point> archive(10 * p.priorMean.size());
    for (Point& z : archive) z = PriorDraw(p, g);
    return MakeDezsSampler({.seed = seed, .scale = p.priorSd}, std::move(archive),
                           std::move(start));
  }
  Point spread = p.priorSd;
  for (double& s : spread) s /= 10;
  return MakeAdaptiveMetropolisSampler({.seed = seed, .initialSpread = spread, .adaptAfter = 200},
                                       std::move(start));
}

// draws[c][t]: chain c's state after generation t, burn-in left out.
using Draws = std::vector<std::vector<Point>>;

Draws Sample(Sampler& s, const Target& target, int generations, int burnIn) {
  Draws draws(s.Current().size());
  for (int t = 0; t < generations; ++t) {
    const Generation& g = s.Step(target, 1);
    if (t < burnIn) continue;
    for (std::size_t c = 0; c < draws.size(); ++c) draws[c].push_back(g.chains[c].x);
  }
  return draws;
}

struct Estimate {
  double mean, standardError, effectiveSize;
};

// The mean of f over the draws and its Monte Carlo standard error by batch means: each chain
// in 25 consecutive batches, whose means vary by the draws' variance over the effective size
// of a batch.
Estimate MeanOf(const Draws& draws, const std::function<double(const Point&)>& f) {
  constexpr std::size_t kBatches = 25;
  std::vector<double> batchMeans;
  double sum = 0, sum2 = 0, n = 0;
  for (const auto& chain : draws) {
    const std::size_t length = chain.size() / kBatches;
    for (std::size_t b = 0; b < kBatches; ++b) {
      double s = 0;
      for (std::size_t t = b * length; t < (b + 1) * length; ++t) {
        const double v = f(chain[t]);
        s += v;
        sum += v;
        sum2 += v * v;
        n += 1;
      }
      batchMeans.push_back(s / static_cast<double>(length));
    }
  }
  const double mean = sum / n, variance = sum2 / n - mean * mean;
  double spread = 0;
  for (const double m : batchMeans) spread += (m - mean) * (m - mean);
  const double k = static_cast<double>(batchMeans.size());
  const double standardError = std::sqrt(spread / (k - 1) / k);
  return {mean, standardError, variance / (standardError * standardError)};
}

// Each estimate within kErrors of its true value. A wrong sampler fails by more; a right one
// fails a check by chance at about 1 in 16 000 (two-sided normal tail at 4), ~0.3 % for the
// ~50 checks here, and once passed a seed stays passed. Each estimate must rest on at least
// kLeastEffective effective draws, so that a chain too slow to tell is a failure too.
constexpr double kErrors = 4;
constexpr double kLeastEffective = 200;

void ExpectNear(const Draws& draws, const std::function<double(const Point&)>& f, double truth,
                const std::string& what) {
  const Estimate e = MeanOf(draws, f);
  EXPECT_NEAR(e.mean, truth, kErrors * e.standardError) << what;
  EXPECT_GE(e.effectiveSize, kLeastEffective) << what;
}

void ExpectDrawsOf(const Problem& p, const Draws& draws, const std::string& what) {
  for (std::size_t j = 0; j < p.mean.size(); ++j) {
    const std::string parameter = what + ", parameter " + std::to_string(j);
    ExpectNear(
        draws, [j](const Point& x) { return x[j]; }, p.mean[j], parameter + ": mean");
    ExpectNear(
        draws, [&, j](const Point& x) { return (x[j] - p.mean[j]) * (x[j] - p.mean[j]); },
        p.sd[j] * p.sd[j], parameter + ": variance");
  }
  for (const Problem::Below& b : p.below)
    ExpectNear(
        draws, [&b](const Point& x) { return x[b.parameter] <= b.value ? 1.0 : 0.0; },
        b.probability,
        what + ", P(x" + std::to_string(b.parameter) + " <= " + std::to_string(b.value) + ")");
}

constexpr double kZ90 = 1.2815515655446004;  // the standard normal's 0.9 quantile

// Correlation 0.95, standard deviations 1 and 2, centred at (1, -2).
Problem CorrelatedNormal() {
  constexpr double kRho = 0.95;
  return {.name = "bivariate normal, correlation 0.95",
          .logDensity =
              [](const Point& x) {
                const double u = x[0] - 1, v = (x[1] + 2) / 2;
                return -0.5 * (u * u - 2 * kRho * u * v + v * v) / (1 - kRho * kRho);
              },
          .mean = {1, -2},
          .sd = {1, 2},
          .below = {{0, 1 + kZ90, 0.9}, {1, -2 + 2 * kZ90, 0.9}},
          .priorMean = {0, 0},
          .priorSd = {3, 6}};
}

// Independent normals of standard deviations 0.01 to 100, each with its mean one standard
// deviation above 0.
Problem TenScales() {
  Problem p{.name = "10-dimensional normal, standard deviations 0.01 to 100"};
  for (int j = 0; j < 10; ++j) {
    const double sd = std::pow(10.0, (j - 4.5) / 2.25);
    p.mean.push_back(sd);
    p.sd.push_back(sd);
    p.priorMean.push_back(0);
    p.priorSd.push_back(3 * sd);
  }
  p.below = {{0, p.mean[0] + kZ90 * p.sd[0], 0.9}, {9, p.mean[9] + kZ90 * p.sd[9], 0.9}};
  p.logDensity = [mean = p.mean, sd = p.sd](const Point& x) {
    double l = 0;
    for (std::size_t j = 0; j < x.size(); ++j) l -= 0.5 * std::pow((x[j] - mean[j]) / sd[j], 2);
    return l;
  };
  return p;
}

// The twisted normal: x0 ~ N(0, 10^2) and x1 + b (x0^2 - 100) ~ N(0, 1), so that x1 has mean
// 0 and variance 1 + b^2 Var(x0^2) = 1 + 2 b^2 10^4 = 19 for b = 0.03.
Problem Banana() {
  constexpr double kB = 0.03;
  return {.name = "banana (twisted normal, b = 0.03)",
          .logDensity =
              [](const Point& x) {
                const double y = x[1] + kB * (x[0] * x[0] - 100);
                return -x[0] * x[0] / 200 - 0.5 * y * y;
              },
          .mean = {0, 0},
          .sd = {10, std::sqrt(19.0)},
          .below = {{0, 10 * kZ90, 0.9}},
          .priorMean = {0, 0},
          .priorSd = {20, 10}};
}

// Weights 0.3 at (-5, 0) and 0.7 at (5, 0), unit normals ten standard deviations apart:
// x0 has mean 2 and variance 1 + 25 - 4 = 22, and P(x0 <= 0) is the left mode's weight.
Problem TwoModes() {
  return {.name = "two normals 10 sd apart, weights 0.3 and 0.7",
          .logDensity =
              [](const Point& x) {
                const double left = std::log(0.3) - 0.5 * ((x[0] + 5) * (x[0] + 5) + x[1] * x[1]);
                const double right = std::log(0.7) - 0.5 * ((x[0] - 5) * (x[0] - 5) + x[1] * x[1]);
                const double top = std::max(left, right);
                return top + std::log(std::exp(left - top) + std::exp(right - top));
              },
          .mean = {2, 0},
          .sd = {std::sqrt(22.0), 1},
          .below = {{0, 0, 0.3}},
          .priorMean = {0, 0},
          .priorSd = {6, 6}};
}

TEST(Samplers, AnalyticDensities_DrawTheirMomentsAndQuantiles) {
  struct Case {
    Kind kind;
    Problem problem;
    int generations;  // of 4 chains, the first half left out
  };
  const Case cases[] = {
      {.kind = Kind::kDezs, .problem = CorrelatedNormal(), .generations = 20000},
      {.kind = Kind::kAdaptiveMetropolis, .problem = CorrelatedNormal(), .generations = 20000},
      {.kind = Kind::kDezs, .problem = TenScales(), .generations = 40000},
      {.kind = Kind::kAdaptiveMetropolis, .problem = TenScales(), .generations = 40000},
      {.kind = Kind::kDezs, .problem = Banana(), .generations = 40000},
      {.kind = Kind::kAdaptiveMetropolis, .problem = Banana(), .generations = 40000},
      {.kind = Kind::kDezs, .problem = TwoModes(), .generations = 40000},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(Name(c.kind)) + " on the " + c.problem.name;
    const Target target = FromDensity(c.problem.logDensity);
    const auto sampler = Make(c.kind, c.problem, target, 4, 7);
    const Draws draws = Sample(*sampler, target, c.generations, c.generations / 2);
    ExpectDrawsOf(c.problem, draws, what);
  }
}

// Every state, its density and every decision of a run of generations, to compare bits.
std::vector<double> Bits(const std::vector<Generation>& run) {
  std::vector<double> bits;
  for (const Generation& g : run)
    for (std::size_t c = 0; c < g.chains.size(); ++c) {
      bits.insert(bits.end(), g.chains[c].x.begin(), g.chains[c].x.end());
      bits.insert(bits.end(), {g.chains[c].at.logPosterior, static_cast<double>(g.accepted[c])});
    }
  return bits;
}

std::vector<Generation> Steps(Sampler& s, const Target& target, int n, std::size_t threads) {
  std::vector<Generation> out;
  for (int t = 0; t < n; ++t) out.push_back(s.Step(target, threads));
  return out;
}

constexpr Kind kKinds[] = {Kind::kDezs, Kind::kAdaptiveMetropolis};

// 300 generations: the archive grows 30 times and the proposals adapt after 200.
TEST(Samplers, SameSeed_GivesTheSameChainsOnOneAndTwoThreads) {
  const Problem p = CorrelatedNormal();
  const Target target = FromDensity(p.logDensity);
  for (const Kind kind : kKinds) {
    const auto one = Make(kind, p, target, 5, 3), two = Make(kind, p, target, 5, 3);
    EXPECT_EQ(Bits(Steps(*one, target, 300, 1)), Bits(Steps(*two, target, 300, 2))) << Name(kind);
  }
}

// Stopped after 243 generations (between two additions to the archive, after adaptation
// began), replayed into a new sampler and continued: the same bits as never stopped.
TEST(Samplers, ReplayedGenerations_ContinueToTheSameBits) {
  constexpr int kStopped = 243, kMore = 100;
  const Problem p = CorrelatedNormal();
  const Target target = FromDensity(p.logDensity);
  for (const Kind kind : kKinds) {
    const auto whole = Make(kind, p, target, 3, 11);
    const std::vector<Generation> all = Steps(*whole, target, kStopped + kMore, 2);
    const auto resumed = Make(kind, p, target, 3, 11);
    for (int t = 0; t < kStopped; ++t) resumed->Replay(all[t]);
    EXPECT_EQ(resumed->GenerationsDone(), kStopped) << Name(kind);
    const std::vector<Generation> rest = Steps(*resumed, target, kMore, 1);
    EXPECT_EQ(Bits({all.begin() + kStopped, all.end()}), Bits(rest)) << Name(kind);
    EXPECT_EQ(resumed->GenerationsDone(), kStopped + kMore) << Name(kind);
  }
}

// A target whose runs fail right of x0 = 0.5, and a chain started at zero density far left:
// every failure is counted, none is taken, the sampler goes on, and the chain of zero density
// takes the first proposal of any density.
TEST(Samplers, FailedRuns_AreCountedAndRejectedWithoutStopping) {
  const Problem p = CorrelatedNormal();
  for (const Kind kind : kKinds) {
    std::atomic<int> failures = 0;
    const Target target = [&](const Point& x) {
      if (x[0] > 0.5) {
        ++failures;
        return Evaluation{.failed = true};
      }
      return FromDensity(p.logDensity)(x);
    };
    std::vector<ChainState> start = {{.x = {-30, 0}, .at = {}}};
    for (const Point& x : {Point{-1, -2}, Point{0, -3}, Point{-0.5, -1}})
      start.push_back({.x = x, .at = target(x)});
    const auto s = Make(kind, p, target, 4, 5, start);
    int counted = 0, taken = 0;
    bool left = false;
    for (int t = 0; t < 400; ++t) {
      const Generation& g = s->Step(target, 2);
      for (std::size_t c = 0; c < g.chains.size(); ++c) {
        counted += g.failed[c];
        taken += g.accepted[c];
        EXPECT_FALSE(g.failed[c] && g.accepted[c]) << Name(kind);
        EXPECT_LE(g.chains[c].x[0], 0.5) << Name(kind);
      }
      left = left || g.chains[0].at.logPosterior > kZeroDensity;
    }
    EXPECT_EQ(counted, failures.load()) << Name(kind);
    EXPECT_GT(counted, 40) << Name(kind);  // 69 % of the density lies right of 0.5
    EXPECT_GT(taken, 100) << Name(kind);
    EXPECT_TRUE(left) << Name(kind) << ": the chain of zero density never moved";
  }
}

// A target that throws leaves the sampler where it was, and Step raises what it raised.
TEST(Samplers, ThrowingTarget_RaisesAndLeavesTheSamplerAsItWas) {
  const Problem p = CorrelatedNormal();
  const Target target = FromDensity(p.logDensity);
  for (const Kind kind : kKinds) {
    const auto s = Make(kind, p, target, 4, 5), twin = Make(kind, p, target, 4, 5);
    for (Sampler* x : {s.get(), twin.get()}) Steps(*x, target, 20, 1);
    std::atomic<int> calls = 0;
    const Target throwing = [&](const Point& x) {
      if (++calls == 3) throw std::runtime_error("the run broke");
      return target(x);
    };
    EXPECT_THROW(s->Step(throwing, 2), std::runtime_error) << Name(kind);
    EXPECT_EQ(s->GenerationsDone(), 20) << Name(kind);
    EXPECT_EQ(Bits(Steps(*s, target, 30, 1)), Bits(Steps(*twin, target, 30, 1))) << Name(kind);
  }
}

}  // namespace
}  // namespace kvsorv::calibration
