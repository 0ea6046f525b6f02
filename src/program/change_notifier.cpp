#include "program/change_notifier.h"

#include <vector>

namespace kvsorv {

ChangeNotifier::Subscription& ChangeNotifier::Subscription::operator=(
    Subscription&& other) noexcept {
  if (this != &other) {
    Reset();
    notifier_ = other.notifier_;
    id_ = other.id_;
    other.notifier_ = nullptr;
  }
  return *this;
}

void ChangeNotifier::Subscription::Reset() {
  if (notifier_ != nullptr) notifier_->listeners_.erase(id_);
  notifier_ = nullptr;
}

ChangeNotifier::Subscription ChangeNotifier::Subscribe(Listener listener) {
  const int id = nextId_++;
  listeners_.emplace(id, std::move(listener));
  return Subscription(this, id);
}

void ChangeNotifier::Notify(const TableChange& change) {
  std::vector<int> ids;
  for (const auto& entry : listeners_) ids.push_back(entry.first);
  for (const int id : ids) {
    const auto it = listeners_.find(id);
    if (it == listeners_.end()) continue;  // unsubscribed by an earlier listener
    const Listener listener = it->second;  // a copy: the listener may unsubscribe itself
    listener(change);
  }
}

ChangeNotifier& TableChanges() {
  static ChangeNotifier notifier;
  return notifier;
}

}  // namespace kvsorv
