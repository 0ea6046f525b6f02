// The least-squares fit on problems of known solution: a weighted straight line (whose
// estimates and covariance are those of the normal equations), an exponential decay, one with
// an active bound, one with a region where the model fails (each the same on any number of
// threads), and one whose parameters cannot be told apart.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <typeinfo>
#include <vector>

#include "calibration/least_squares_fit.h"
#include "calibration/target.h"

namespace kvsorv::calibration {
namespace {

using Vector = std::vector<double>;

// y = 1.5 + 0.8 t with fixed noise, of errors growing with t.
struct Line {
  Vector t, y, sd;
};

Line TheLine() {
  const double noise[] = {0.05, -0.12, 0.08, 0.02, -0.2, 0.15, -0.03, 0.3, -0.25, 0.1};
  Line line;
  for (int i = 0; i < 10; ++i) {
    line.t.push_back(i);
    line.sd.push_back(0.1 + 0.05 * i);
    line.y.push_back(1.5 + 0.8 * i + noise[i]);
  }
  return line;
}

// The weighted straight line with an optional normal prior on the slope: its mode and
// (X'WX)^-1 solve the normal equations, of (X'WX + P) with the prior's precision P.
TEST(FitLeastSquares, StraightLine_GivesTheNormalEquationsSolution) {
  struct Case {
    const char* what;
    double priorMean, priorSd;  // of the slope; sd 0: a flat prior
  };
  const Case cases[] = {
      {.what = "flat prior", .priorMean = 0, .priorSd = 0},
      {.what = "normal prior pulling the slope down", .priorMean = 0.5, .priorSd = 0.02},
  };
  const Line line = TheLine();
  double s0 = 0, s1 = 0, s2 = 0, sy = 0, sty = 0;
  for (std::size_t i = 0; i < line.t.size(); ++i) {
    const double w = 1 / (line.sd[i] * line.sd[i]);
    s0 += w, s1 += w * line.t[i], s2 += w * line.t[i] * line.t[i];
    sy += w * line.y[i], sty += w * line.t[i] * line.y[i];
  }
  const double det = s0 * s2 - s1 * s1;
  const double covariance[2][2] = {{s2 / det, -s1 / det}, {-s1 / det, s0 / det}};
  constexpr double kTolerance = 1e-6;  // relative
  for (const Case& c : cases) {
    FitProblem problem{.residuals =
                           [&](const Vector& x) {
                             Vector r;
                             for (std::size_t i = 0; i < line.t.size(); ++i)
                               r.push_back((x[0] + x[1] * line.t[i] - line.y[i]) / line.sd[i]);
                             return std::optional<Vector>(r);
                           },
                       .logPrior = nullptr,
                       .lower = {-100, -100},
                       .upper = {100, 100},
                       .start = {0, 0}};
    const double precision = c.priorSd > 0 ? 1 / (c.priorSd * c.priorSd) : 0;
    if (c.priorSd > 0)
      problem.logPrior = [&](const Vector& x) {
        return -0.5 * precision * (x[1] - c.priorMean) * (x[1] - c.priorMean);
      };
    const double d = s0 * (s2 + precision) - s1 * s1;
    const double a = ((s2 + precision) * sy - s1 * (sty + precision * c.priorMean)) / d;
    const double b = (s0 * (sty + precision * c.priorMean) - s1 * sy) / d;

    const FitResult r = FitLeastSquares(problem, {});
    ASSERT_EQ(r.x.size(), 2u) << c.what;
    EXPECT_NEAR(r.x[0], a, kTolerance * std::abs(a)) << c.what;
    EXPECT_NEAR(r.x[1], b, kTolerance * std::abs(b)) << c.what;
    ASSERT_EQ(r.covariance.size(), 2u) << c.what;
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j)
        EXPECT_NEAR(r.covariance[i][j], covariance[i][j], kTolerance * std::abs(covariance[i][j]))
            << c.what << " " << i << j;
    EXPECT_TRUE(r.notes.empty()) << c.what;
  }
}

// y = 2 exp(-0.7 t) at t = 0, 0.5, .., 9.5, without noise, errors 0.05.
constexpr double kAmplitude = 2, kRate = 0.7, kSd = 0.05;

std::optional<Vector> DecayResiduals(const Vector& x) {
  Vector r;
  for (int i = 0; i < 20; ++i) {
    const double t = 0.5 * i;
    r.push_back((x[0] * std::exp(-x[1] * t) - kAmplitude * std::exp(-kRate * t)) / kSd);
  }
  return r;
}

// The best amplitude at a given rate k: sum y e^-kt / sum e^-2kt.
double AmplitudeAt(double k) {
  double yx = 0, xx = 0;
  for (int i = 0; i < 20; ++i) {
    const double t = 0.5 * i;
    yx += kAmplitude * std::exp(-kRate * t) * std::exp(-k * t);
    xx += std::exp(-2 * k * t);
  }
  return yx / xx;
}

TEST(FitLeastSquares, ExponentialDecay_FindsItsOptimumWithinTheBounds) {
  struct Case {
    const char* what;
    double highestRate;
    std::function<bool(const Vector&)> fails;  // where the model cannot be run
    double rate;                               // expected
    bool failures;                             // expected
  };
  const auto never = [](const Vector&) { return false; };
  const Case cases[] = {
      {.what = "free", .highestRate = 3, .fails = never, .rate = kRate, .failures = false},
      {.what = "the model failing in a region the optimiser visits",
       .highestRate = 3,
       .fails = [](const Vector& x) { return x[0] < 0.5 || x[1] < 0.05; },
       .rate = kRate,
       .failures = true},
      {.what = "the model failing right above the optimum: the derivatives step back",
       .highestRate = 3,
       .fails = [](const Vector& x) { return x[1] > kRate * (1 + 1e-9); },
       .rate = kRate,
       .failures = true},
      {.what = "the rate's bound active",
       .highestRate = 0.5,
       .fails = never,
       .rate = 0.5,
       .failures = false},
  };
  constexpr double kTolerance = 1e-6;  // relative
  for (const Case& c : cases) {
    std::atomic<bool> outside = false;
    std::atomic<int> failed = 0;
    const FitProblem problem{.residuals = [&](const Vector& x) -> std::optional<Vector> {
                               if (x[0] < 0.1 || x[0] > 10 || x[1] < 0.01 || x[1] > c.highestRate)
                                 outside = true;
                               if (c.fails(x)) {
                                 ++failed;
                                 return std::nullopt;
                               }
                               return DecayResiduals(x);
                             },
                             .logPrior = nullptr,
                             .lower = {0.1, 0.01},
                             .upper = {10, c.highestRate},
                             .start = {1, 0.1}};
    const FitResult r = FitLeastSquares(problem, {.threads = 1});
    const FitResult more = FitLeastSquares(problem, {.threads = 3});
    EXPECT_EQ(r.x, more.x) << c.what;
    EXPECT_EQ(r.covariance, more.covariance) << c.what;
    ASSERT_EQ(r.x.size(), 2u) << c.what;
    EXPECT_NEAR(r.x[1], c.rate, kTolerance * c.rate) << c.what;
    EXPECT_NEAR(r.x[0], AmplitudeAt(c.rate), kTolerance * AmplitudeAt(c.rate)) << c.what;
    EXPECT_EQ(r.failures + more.failures, failed) << c.what;
    EXPECT_EQ(r.failures > 0, c.failures) << c.what;
    EXPECT_LT(r.failures, r.evaluations) << c.what;
    EXPECT_FALSE(outside) << c.what;
    ASSERT_EQ(r.standardErrors.size(), 2u) << c.what;
    EXPECT_TRUE(std::isfinite(r.standardErrors[0]) && std::isfinite(r.standardErrors[1])) << c.what;
  }
}

// y = a b t: only the product shows, J's columns are parallel.
TEST(FitLeastSquares, ParametersOnlyTogether_GiveNoCovarianceAndANote) {
  const FitProblem problem{.residuals =
                               [](const Vector& x) {
                                 Vector r;
                                 for (int t = 1; t <= 5; ++t) r.push_back(x[0] * x[1] * t - 2 * t);
                                 return std::optional<Vector>(r);
                               },
                           .logPrior = nullptr,
                           .lower = {0.1, 0.1},
                           .upper = {10, 10},
                           .start = {1, 1}};
  const FitResult r = FitLeastSquares(problem, {});
  EXPECT_NEAR(r.x[0] * r.x[1], 2, 1e-6);
  EXPECT_TRUE(r.covariance.empty());
  EXPECT_TRUE(r.standardErrors.empty());
  EXPECT_EQ(r.notes.size(), 1u);
  EXPECT_GT(r.collinearity, 1e5);
}

TEST(FitLeastSquares, ProblemsOfNoUse_RaiseTheirFailure) {
  struct Case {
    const char* what;
    std::function<void(FitProblem&)> change;
    const std::type_info& raised;
  };
  const Case cases[] = {
      {.what = "bounds of another number",
       .change = [](FitProblem& p) { p.upper.push_back(1); },
       .raised = typeid(std::invalid_argument)},
      {.what = "lower not below upper",
       .change = [](FitProblem& p) { p.lower[1] = p.upper[1]; },
       .raised = typeid(std::invalid_argument)},
      {.what = "an infinite bound",
       .change = [](FitProblem& p) { p.upper[0] = INFINITY; },
       .raised = typeid(std::invalid_argument)},
      {.what = "a start outside the bounds",
       .change = [](FitProblem& p) { p.start[0] = 11; },
       .raised = typeid(std::invalid_argument)},
      {.what = "a start of zero prior density",
       .change = [](FitProblem& p) { p.logPrior = [](const Vector&) { return kZeroDensity; }; },
       .raised = typeid(std::invalid_argument)},
      {.what = "a start where the model fails",
       .change =
           [](FitProblem& p) {
             p.residuals = [](const Vector&) -> std::optional<Vector> { return std::nullopt; };
           },
       .raised = typeid(std::runtime_error)},
      {.what = "a model that raises beside the start",
       .change =
           [](FitProblem& p) {
             p.residuals = [](const Vector& x) -> std::optional<Vector> {
               if (x[1] != 0.1) throw std::domain_error("no");
               return DecayResiduals(x);
             };
           },
       .raised = typeid(std::domain_error)},
  };
  for (const Case& c : cases) {
    FitProblem problem{.residuals = DecayResiduals,
                       .logPrior = nullptr,
                       .lower = {0.1, 0.01},
                       .upper = {10, 3},
                       .start = {1, 0.1}};
    c.change(problem);
    try {
      FitLeastSquares(problem, {});
      ADD_FAILURE() << c.what << ": nothing raised";
    } catch (const std::exception& e) {
      EXPECT_EQ(typeid(e), c.raised) << c.what << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace kvsorv::calibration
