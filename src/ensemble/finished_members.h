#pragma once
// The outcomes of the members of an ensemble finished so far, kept in memory as they finish,
// so that the envelope and the sensitivity figures need not read the results file back.

#include <cstddef>
#include <string>
#include <vector>

#include "ensemble/member_run.h"

namespace kvsorv::ensemble {

class FinishedMembers {
 public:
  FinishedMembers() = default;
  // Room for `members` members of `times` x `variables` values each, none finished.
  FinishedMembers(std::size_t members, std::size_t times, std::size_t variables);

  // Records a member's outcome (again: replaces it). std::out_of_range for an index beyond
  // the members, std::invalid_argument for values of another size.
  void Add(std::size_t member, const MemberResult& result);

  std::size_t Members() const { return finished_.size(); }
  std::size_t Times() const { return times_; }
  std::size_t Variables() const { return variables_; }
  std::size_t Count() const { return count_; }  // finished members, failed ones included
  std::size_t Failures() const { return failures_; }
  bool Finished(std::size_t member) const { return finished_.at(member); }
  bool Failed(std::size_t member) const { return failed_.at(member); }
  const std::string& Error(std::size_t member) const { return errors_.at(member); }
  // A member's value at a time of the site's axis; NaN when the member has not finished,
  // failed, or recorded nothing then.
  double Value(std::size_t member, std::size_t time, std::size_t variable) const;

 private:
  std::size_t times_ = 0, variables_ = 0, count_ = 0, failures_ = 0;
  std::vector<bool> finished_, failed_;
  std::vector<std::string> errors_;
  std::vector<std::vector<double>> values_;  // per member: times x variables
};

}  // namespace kvsorv::ensemble
