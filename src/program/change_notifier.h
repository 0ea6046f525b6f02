#pragma once
// Tells the windows that the global model tables changed, so that each refreshes itself
// instead of the windows updating each other. Qt-free; used on the user-interface thread.

#include <functional>
#include <map>

namespace kvsorv {

// Which global tables a change touched.
struct TableChange {
  bool states = false;
  bool parameters = false;
  bool drivers = false;
  bool processes = false;
};

class ChangeNotifier {
 public:
  using Listener = std::function<void(const TableChange&)>;

  // Unsubscribes when destroyed (or when Reset() is called).
  class Subscription {
   public:
    Subscription() = default;
    Subscription(ChangeNotifier* notifier, int id) : notifier_(notifier), id_(id) {}
    Subscription(Subscription&& other) noexcept { *this = std::move(other); }
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Reset(); }
    void Reset();

   private:
    ChangeNotifier* notifier_ = nullptr;
    int id_ = 0;
  };

  [[nodiscard]] Subscription Subscribe(Listener listener);
  // Calls every listener, in the order they subscribed. A listener may unsubscribe itself or
  // others while being called.
  void Notify(const TableChange& change);

 private:
  std::map<int, Listener> listeners_;
  int nextId_ = 1;
};

// The program's one notifier for the global tables.
ChangeNotifier& TableChanges();

}  // namespace kvsorv
