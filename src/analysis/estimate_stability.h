#pragma once
// Whether an analysis's estimate can be read as a result yet, and if not, why. The rules are
// cheap enough to apply to every row of every analysis:
//   Sobol index: unstable when its bootstrap interval is wider than kWidestSobolInterval, or
//     lies wholly below 0 or above 1 by more than kSobolRangeSlack (the estimate is then off
//     the scale by more than its sampling error); not judged without an interval.
//   Morris mu*: unstable from fewer than kSteadyEffects effects, or when twice its standard
//     error exceeds both mu* and a tenth of the largest mu* at that output and time (its 95 %
//     interval reaches zero, and the parameter is not plainly negligible beside the others).
//   Local coefficient: unstable where the step-halving check fails.
//   Envelope: unstable from fewer than kSteadyMembers members with a value, or fewer than half
//     of the design's members (those left may not stand for the design).

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kvsorv::analysis {

inline constexpr double kWidestSobolInterval = 0.5;
inline constexpr double kSobolRangeSlack = 0.05;
inline constexpr int kSteadyEffects = 10;
inline constexpr int kSteadyMembers = 30;

struct Stability {
  enum class Verdict : signed char { kUnjudged, kStable, kUnstable };
  Verdict verdict = Verdict::kUnjudged;
  std::string reason;  // why unstable, or why not judged; empty when stable

  bool Unstable() const { return verdict == Verdict::kUnstable; }
};

// The `stable` cell of the analyses' CSV files: "yes", "no", or empty when not judged.
const char* StableCell(const Stability& s);

// Unstable when either is (with the reasons of both), else unjudged when either is.
Stability Combined(const Stability& a, const Stability& b);

// `name` ("S1", "ST") starts the reason. Unjudged when the estimate or an end is not finite.
Stability SobolIndexStability(const char* name, double estimate, double low, double high);

// From a Morris row's effects, mu, mu* and sigma (the standard error of mu* follows from them:
// the mean square effect is ((n - 1) sigma² + n mu²) / n); `largestMuStar` of the parameters
// at the same output and time. Unjudged when mu* is not finite.
Stability MorrisStability(int effects, double mu, double muStar, double sigma,
                          double largestMuStar);

// From a local row's coefficients at h and h/2 and the check's verdict with its tolerance.
// Unjudged when either coefficient is not finite.
Stability LocalStability(double coefficient, double halfStep, bool withinTolerance,
                         double tolerance);

// `used` members of the design's `of`. Unjudged when none is used.
Stability MembersStability(int used, int of);

// The unstable estimates of an analysis summarised for stderr: a line counting them, then one
// per output (and parameter) naming up to eight of its times and the first reason.
class UnstableSummary {
 public:
  // `parameter` empty for an analysis of the outputs alone (the envelope); `time` NaN for a
  // plain table.
  void Add(const std::string& output, const std::string& parameter, double time,
           const Stability& s);
  // Nothing when no estimate is unstable; `what` names the estimates ("Sobol indices"),
  // `times` how many times each output has.
  std::vector<std::string> Lines(const std::string& what, std::size_t times) const;

 private:
  struct Entry {
    std::vector<double> times;  // where unstable
    std::string reason;         // the first
  };
  std::vector<std::pair<std::string, std::string>> order_;
  std::map<std::pair<std::string, std::string>, Entry> entries_;
  int rows_ = 0, unstable_ = 0;
};

}  // namespace kvsorv::analysis
