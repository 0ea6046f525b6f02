#include "ensemble/ensemble_runner.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "tasks/worker_pool.h"

namespace kvsorv::ensemble {

namespace {

constexpr std::chrono::seconds kSyncInterval{10};

}  // namespace

std::vector<std::size_t> ShardMembers(std::size_t members, int shard, int shards) {
  std::vector<std::size_t> mine;
  for (std::size_t i = static_cast<std::size_t>(shard - 1); i < members;
       i += static_cast<std::size_t>(shards))
    mine.push_back(i);
  return mine;
}

std::vector<std::size_t> UnfinishedMembers(const ResultsFile& file,
                                           const std::vector<std::size_t>& candidates,
                                           bool rerunFailed) {
  const std::vector<MemberStatus> statuses = file.CheckedStatuses();
  std::vector<std::size_t> left;
  for (const std::size_t i : candidates) {
    const MemberStatus s = statuses.at(i);
    if (s == MemberStatus::kMissing || (rerunFailed && s == MemberStatus::kFailed))
      left.push_back(i);
  }
  return left;
}

EnsembleTally RunMembers(const EnsemblePlan& plan, const EnsembleSite& site, const Design& design,
                         const std::vector<std::size_t>& members, int threads, ResultsFile& results,
                         Feedback* feedback, const MemberWritten& memberWritten) {
  using Clock = std::chrono::steady_clock;
  std::mutex writing;  // the results file, the tally and the syncs
  EnsembleTally tally;
  std::size_t finished = 0;
  bool writeFailed = false;
  // The file is synced every kSyncInterval, or every 1 % of the members if that comes sooner:
  // a kill loses no more.
  const std::size_t syncEvery = std::max<std::size_t>(1, members.size() / 100);
  std::size_t unsynced = 0;
  Clock::time_point synced = Clock::now();
  // Members are handed out in order. Once canceled, no further member starts; a write that
  // fails ends the run (its error is thrown once the members in flight have finished, and
  // they are not written).
  const auto work = [&](std::size_t k) {
    if (feedback != nullptr && feedback->IsCanceled()) return;
    const std::size_t i = members[k];
    const std::vector<double> parameters = MemberParameters(design.rows.at(i));
    const MemberResult result = RunMember(plan, site, parameters);
    const std::lock_guard lock(writing);
    if (writeFailed) return;
    try {
      results.WriteMember(i, parameters, result);
      const Clock::time_point now = Clock::now();
      if (++unsynced >= syncEvery || now - synced >= kSyncInterval) {
        results.Flush();
        unsynced = 0;
        synced = now;
      }
    } catch (...) {
      writeFailed = true;
      throw;
    }
    if (memberWritten) memberWritten(i, result);
    ++(result.failed ? tally.failed : tally.done);
    ++finished;
    if (feedback != nullptr) feedback->SetProgress(finished, members.size());
  };
  tasks::ParallelFor(members.size(), static_cast<std::size_t>(std::max(threads, 1)), work);
  if (unsynced > 0) results.Flush();
  return tally;
}

}  // namespace kvsorv::ensemble
