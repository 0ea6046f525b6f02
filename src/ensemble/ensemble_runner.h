#pragma once
// Runs the members of an ensemble side by side on threads and writes each to the results
// file as it finishes. A member that fails is recorded with its error and never stops the
// others. Member i's values depend only on the plan, the design and i.

#include <cstddef>
#include <functional>
#include <vector>

#include "ensemble/member_run.h"
#include "ensemble/results_file.h"
#include "ensemble/sampling.h"
#include "tasks/feedback.h"

namespace kvsorv::ensemble {

// The members of shard `shard` of `shards` (1-based): every member i with i % shards equal
// to shard - 1, so shards of any layout cover every member once.
std::vector<std::size_t> ShardMembers(std::size_t members, int shard, int shards);

// Keeps those members of `candidates` that the file has not finished (missing ones, and
// failed ones too when `rerunFailed`).
std::vector<std::size_t> UnfinishedMembers(const ResultsFile& file,
                                           const std::vector<std::size_t>& candidates,
                                           bool rerunFailed);

struct EnsembleTally {
  std::size_t done = 0;
  std::size_t failed = 0;
};

// Called with a member's index and result after it is written, from one thread at a time; it
// must not throw.
using MemberWritten = std::function<void(std::size_t member, const MemberResult& result)>;

// Runs `members` on `threads` threads (at least 1: the caller's and those of the program's
// worker pool, tasks/worker_pool.h), handed out in order. With a feedback, its progress is the
// members finished of `members`, set after each is written and `memberWritten` has seen it,
// from one thread at a time; once it is canceled no further member starts, and the members in
// flight finish and are written (those not started stay missing from the file). The file is
// flushed (see ResultsFile::Flush) every 10 s, or every 1 % of `members` when that comes
// sooner, and at the end: a process killed loses at most the members written since.
// Failures: the results file's.
EnsembleTally RunMembers(const EnsemblePlan& plan, const EnsembleSite& site, const Design& design,
                         const std::vector<std::size_t>& members, int threads, ResultsFile& results,
                         Feedback* feedback = nullptr, const MemberWritten& memberWritten = {});

}  // namespace kvsorv::ensemble
