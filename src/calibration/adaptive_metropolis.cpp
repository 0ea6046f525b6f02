#include "calibration/adaptive_metropolis.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "calibration/metropolis_decision.h"
#include "calibration/running_moments.h"
#include "calibration/sampler_draws.h"

namespace kvsorv::calibration {

namespace {

// The random numbers of chain c in generation g come from the engine of index
// g * chains + c of this stream, drawn in the order Propose draws them.
constexpr std::uint64_t kStream = 0x414d4554;

// The lower triangle L of L L^T = a, in place: `a` is d x d by rows, of which the lower
// triangle is read and overwritten. False when a is not positive definite.
bool FactorInPlace(std::vector<double>& a, std::size_t d) {
  for (std::size_t i = 0; i < d; ++i)
    for (std::size_t j = 0; j <= i; ++j) {
      double s = a[i * d + j];
      for (std::size_t p = 0; p < j; ++p) s -= a[i * d + p] * a[j * d + p];
      if (i == j) {
        if (!(s > 0) || !std::isfinite(s)) return false;
        a[i * d + i] = std::sqrt(s);
      } else {
        a[i * d + j] = s / a[j * d + j];
      }
    }
  return true;
}

class AdaptiveMetropolisSampler final : public ChainwiseSampler {
 public:
  AdaptiveMetropolisSampler(AdaptiveMetropolisSettings settings, std::vector<ChainState> start)
      : ChainwiseSampler(std::move(start)), settings_(std::move(settings)) {
    if (current_.empty()) throw std::invalid_argument("no chains to sample with");
    if (d_ == 0) throw std::invalid_argument("the chains' starts have no parameters");
    for (const ChainState& s : current_)
      if (s.x.size() != d_) throw std::invalid_argument("the chains' starts differ in length");
    if (settings_.initialSpread.size() != d_)
      throw std::invalid_argument("the initial spread needs one value for each of the " +
                                  std::to_string(d_) + " parameters");
    for (const double s : settings_.initialSpread)
      if (!(s > 0) || !std::isfinite(s))
        throw std::invalid_argument("every initial spread must be a finite number above 0");
    if (settings_.adaptAfter < 0) throw std::invalid_argument("adaptAfter must not be negative");
    if (!(settings_.epsilon >= 0)) throw std::invalid_argument("epsilon must not be negative");
    moments_.assign(current_.size(), RunningMoments(d_));
    for (std::size_t c = 0; c < current_.size(); ++c) moments_[c].Add(current_[c].x);
  }

 private:
  // The Cholesky factor of chain c's proposal covariance, d x d by rows (lower triangle).
  // Should the adapted covariance not factor, the generation uses the initial one.
  std::vector<double> ProposalFactor(std::size_t c) const {
    std::vector<double> l(d_ * d_, 0.0);
    const std::vector<double>& spread = settings_.initialSpread;
    if (done_ >= settings_.adaptAfter && moments_[c].Count() >= 2) {
      const double sd = 2.4 * 2.4 / static_cast<double>(d_);
      for (std::size_t i = 0; i < d_; ++i)
        for (std::size_t j = 0; j <= i; ++j)
          l[i * d_ + j] = sd * (moments_[c].Covariance(i, j) +
                                (i == j ? settings_.epsilon * spread[i] * spread[i] : 0.0));
      if (FactorInPlace(l, d_)) return l;
      l.assign(d_ * d_, 0.0);
    }
    for (std::size_t i = 0; i < d_; ++i) l[i * d_ + i] = spread[i];
    return l;
  }

  // Chain c's Gaussian step in the generation after the ones done, and the uniform draw
  // that decides it.
  Proposal Propose(std::size_t c) const override {
    const auto index = static_cast<std::uint64_t>(done_) * current_.size() + c;
    ensemble::SeededEngine g = ensemble::StreamEngine(settings_.seed, kStream, index);
    std::vector<double> z(d_);
    for (double& v : z) v = StandardNormal(g);
    const std::vector<double> l = ProposalFactor(c);
    Proposal p{.x = current_[c].x};
    for (std::size_t i = 0; i < d_; ++i)
      for (std::size_t j = 0; j <= i; ++j) p.x[i] += l[i * d_ + j] * z[j];
    p.logU = std::log(ensemble::Uniform01(g));
    return p;
  }

  void Learn(const Generation&) override {
    for (std::size_t c = 0; c < current_.size(); ++c) moments_[c].Add(current_[c].x);
  }

  AdaptiveMetropolisSettings settings_;
  std::vector<RunningMoments> moments_;  // of each chain's states, its start included
};

}  // namespace

std::unique_ptr<Sampler> MakeAdaptiveMetropolisSampler(AdaptiveMetropolisSettings settings,
                                                       std::vector<ChainState> start) {
  return std::make_unique<AdaptiveMetropolisSampler>(std::move(settings), std::move(start));
}

}  // namespace kvsorv::calibration
