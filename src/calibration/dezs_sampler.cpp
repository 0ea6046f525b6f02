#include "calibration/dezs_sampler.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "calibration/metropolis_decision.h"
#include "calibration/sampler_draws.h"

namespace kvsorv::calibration {

namespace {

// The random numbers of chain c in generation g come from the engine of index
// g * chains + c of this stream, drawn in the order Propose draws them.
constexpr std::uint64_t kStream = 0x44455a53;

using Points = std::vector<std::vector<double>>;

class DezsSampler final : public ChainwiseSampler {
 public:
  DezsSampler(DezsSettings settings, Points archive, std::vector<ChainState> start)
      : ChainwiseSampler(std::move(start), archive.empty() ? 0 : archive.front().size()),
        settings_(std::move(settings)),
        archive_(std::move(archive)) {
    if (archive_.size() < 3) throw std::invalid_argument("the archive needs at least 3 points");
    if (d_ == 0) throw std::invalid_argument("the archive's points have no parameters");
    for (const auto& z : archive_)
      if (z.size() != d_) throw std::invalid_argument("the archive's points differ in length");
    if (current_.empty()) throw std::invalid_argument("no chains to sample with");
    for (const ChainState& s : current_)
      if (s.x.size() != d_)
        throw std::invalid_argument("a chain's start is not of the archive points' length");
    if (settings_.scale.size() != d_)
      throw std::invalid_argument("the scale needs one spread for each of the " +
                                  std::to_string(d_) + " parameters");
    if (settings_.archiveEvery < 1)
      throw std::invalid_argument("archiveEvery must be at least 1 generation");
    const auto probability = [](double p) { return p >= 0 && p <= 1; };
    if (!probability(settings_.snookerProbability) || !probability(settings_.fullJumpProbability))
      throw std::invalid_argument("the snooker and full-jump probabilities must lie in [0, 1]");
  }

 private:
  // Chain c's move in the generation after the ones done: a snooker update or a parallel
  // direction update from the archive, and the uniform draw that decides it.
  Proposal Propose(std::size_t c) const override {
    const std::vector<double>& x = current_[c].x;
    const auto index = static_cast<std::uint64_t>(done_) * current_.size() + c;
    ensemble::SeededEngine g = ensemble::StreamEngine(settings_.seed, kStream, index);
    Proposal p{.x = x};
    if (ensemble::Uniform01(g) < settings_.snookerProbability) {
      // Along the line through x and an archive point z, by the difference of two further
      // archive points projected onto it: x* - z = (1 + step) (x - z).
      std::size_t k[3];
      DistinctIndices(g, archive_.size(), 3, k);
      const auto &z = archive_[k[0]], &z1 = archive_[k[1]], &z2 = archive_[k[2]];
      const double gamma = 1.2 + ensemble::Uniform01(g);
      double along = 0, length2 = 0;
      for (std::size_t j = 0; j < d_; ++j) {
        along += (z1[j] - z2[j]) * (x[j] - z[j]);
        length2 += (x[j] - z[j]) * (x[j] - z[j]);
      }
      if (length2 > 0 && std::isfinite(along / length2)) {
        const double step = gamma * along / length2;
        for (std::size_t j = 0; j < d_; ++j) p.x[j] = x[j] + step * (x[j] - z[j]);
        // (||x* - z|| / ||x - z||)^(d - 1): the density of the move along the line.
        if (d_ > 1) p.logRatioExtra = static_cast<double>(d_ - 1) * std::log(std::abs(1 + step));
      } else {
        p.evaluate = false;  // x is z: the line is undefined
      }
    } else {
      std::size_t k[2];
      DistinctIndices(g, archive_.size(), 2, k);
      const auto &z1 = archive_[k[0]], &z2 = archive_[k[1]];
      const double gamma = ensemble::Uniform01(g) < settings_.fullJumpProbability
                               ? 1.0
                               : 2.38 / std::sqrt(2.0 * static_cast<double>(d_));
      for (std::size_t j = 0; j < d_; ++j)
        p.x[j] = x[j] + gamma * (z1[j] - z2[j]) +
                 settings_.noise * settings_.scale[j] * StandardNormal(g);
    }
    p.logU = std::log(ensemble::Uniform01(g));
    return p;
  }

  void Learn(const Generation&) override {
    if (done_ % settings_.archiveEvery == 0)
      for (const ChainState& s : current_) archive_.push_back(s.x);
  }

  DezsSettings settings_;
  Points archive_;
};

}  // namespace

std::unique_ptr<Sampler> MakeDezsSampler(DezsSettings settings,
                                         std::vector<std::vector<double>> archive,
                                         std::vector<ChainState> start) {
  return std::make_unique<DezsSampler>(std::move(settings), std::move(archive), std::move(start));
}

}  // namespace kvsorv::calibration
