#pragma once
// The half of a generation both samplers share: the chains' proposals, drawn beforehand, are
// evaluated side by side, and each is accepted or rejected by the Metropolis rule with the
// uniform draw that came with it. Nothing here draws a random number, so a generation's
// outcome does not depend on the threads that evaluated it.

#include <cstddef>
#include <optional>
#include <vector>

#include "calibration/target.h"

namespace kvsorv::calibration {

struct Proposal {
  std::vector<double> x;
  double logU = 0;           // the log of the chain's uniform draw for the decision
  double logRatioExtra = 0;  // added to the log-density ratio (the snooker update's Jacobian)
  bool evaluate = true;      // false: no move was proposed, and the chain stays unevaluated
};

// Whether a proposal of log-density `proposed` replaces a state of log-density `current`. A
// proposal of zero density (or NaN) never does; a state of zero density (or NaN) gives way to
// any other; otherwise log u < proposed - current + extra.
bool Accepts(double current, double proposed, double logRatioExtra, double logU);

// Evaluates `proposals` (one per chain of `current`) on up to `threads` threads and decides
// each: a failed evaluation is rejected and marked in Generation::failed. Raises what the
// target raised, after every running evaluation has ended.
Generation DecideProposals(const std::vector<ChainState>& current, std::vector<Proposal> proposals,
                           const Target& target, std::size_t threads);

// A sampler whose chains each propose a move of their own, decided together by
// DecideProposals; a sampler of this kind says how a chain proposes and what it learns from a
// generation.
class ChainwiseSampler : public Sampler {
 public:
  const Generation& Step(const Target& target, std::size_t threads) final;
  // Failures: std::invalid_argument for a generation of another number of chains or
  // parameters.
  void Replay(const Generation& g) final;
  int GenerationsDone() const final { return done_; }
  const std::vector<ChainState>& Current() const final { return current_; }

 protected:
  // `d`: the parameters of every chain's state, those of the first start's unless given.
  explicit ChainwiseSampler(std::vector<ChainState> start, std::optional<std::size_t> d = {})
      : d_(d ? *d : (start.empty() ? 0 : start.front().x.size())), current_(std::move(start)) {}
  // Chain c's proposal in the generation after those done.
  virtual Proposal Propose(std::size_t c) const = 0;
  // What the sampler learns from a generation once its chains have moved (an archive, the
  // chains' moments).
  virtual void Learn(const Generation& g) = 0;

  std::size_t d_;
  std::vector<ChainState> current_;
  int done_ = 0;

 private:
  void Commit(Generation g);
  Generation last_;
};

}  // namespace kvsorv::calibration
