#include "ensemble/finished_members.h"

#include <limits>
#include <stdexcept>

namespace kvsorv::ensemble {

FinishedMembers::FinishedMembers(std::size_t members, std::size_t times, std::size_t variables)
    : times_(times),
      variables_(variables),
      finished_(members, false),
      failed_(members, false),
      errors_(members),
      values_(members) {}

void FinishedMembers::Add(std::size_t member, const MemberResult& result) {
  if (member >= finished_.size())
    throw std::out_of_range("member " + std::to_string(member) + " of " +
                            std::to_string(finished_.size()));
  if (result.values.size() != times_ * variables_)
    throw std::invalid_argument("a member's values are " + std::to_string(result.values.size()) +
                                ", not " + std::to_string(times_ * variables_));
  if (finished_[member]) {
    --count_;
    if (failed_[member]) --failures_;
  }
  finished_[member] = true;
  failed_[member] = result.failed;
  errors_[member] = result.error;
  values_[member] = result.values;
  ++count_;
  if (result.failed) ++failures_;
}

double FinishedMembers::Value(std::size_t member, std::size_t time, std::size_t variable) const {
  if (!finished_.at(member) || failed_[member]) return std::numeric_limits<double>::quiet_NaN();
  return values_[member].at(time * variables_ + variable);
}

}  // namespace kvsorv::ensemble
