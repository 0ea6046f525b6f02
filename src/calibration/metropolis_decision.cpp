#include "calibration/metropolis_decision.h"

#include <stdexcept>

#include <utility>

#include "tasks/worker_pool.h"

namespace kvsorv::calibration {

bool Accepts(double current, double proposed, double logRatioExtra, double logU) {
  if (!(proposed > kZeroDensity)) return false;
  if (!(current > kZeroDensity)) return true;
  return logU < proposed - current + logRatioExtra;
}

Generation DecideProposals(const std::vector<ChainState>& current, std::vector<Proposal> proposals,
                           const Target& target, std::size_t threads) {
  const std::size_t n = current.size();
  std::vector<Evaluation> at(n);
  tasks::ParallelFor(n, threads, [&](std::size_t c) {
    if (proposals[c].evaluate) at[c] = target(proposals[c].x);
  });
  Generation g;
  g.chains = current;
  g.accepted.assign(n, 0);
  g.failed.assign(n, 0);
  for (std::size_t c = 0; c < n; ++c) {
    Proposal& p = proposals[c];
    if (!p.evaluate) continue;
    if (at[c].failed) {
      g.failed[c] = 1;
      continue;
    }
    if (Accepts(current[c].at.logPosterior, at[c].logPosterior, p.logRatioExtra, p.logU)) {
      g.chains[c] = ChainState{std::move(p.x), at[c]};
      g.accepted[c] = 1;
    }
  }
  return g;
}

const Generation& ChainwiseSampler::Step(const Target& target, std::size_t threads) {
  std::vector<Proposal> proposals(current_.size());
  for (std::size_t c = 0; c < current_.size(); ++c) proposals[c] = Propose(c);
  Commit(DecideProposals(current_, std::move(proposals), target, threads));
  return last_;
}

void ChainwiseSampler::Replay(const Generation& g) {
  if (g.chains.size() != current_.size())
    throw std::invalid_argument("the generation has another number of chains");
  for (const ChainState& s : g.chains)
    if (s.x.size() != d_)
      throw std::invalid_argument("the generation has another number of parameters");
  Commit(g);
}

void ChainwiseSampler::Commit(Generation g) {
  last_ = std::move(g);
  current_ = last_.chains;
  ++done_;
  Learn(last_);
}

}  // namespace kvsorv::calibration
