#pragma once
// How a long task (a run, a chain of cells, an ensemble, an analysis) tells the one who
// started it how far it has come and what it is doing, and how that one asks it to stop: one
// object shared by the task's threads and its watcher.
//
// Progress is `done` of `total` steps of whatever the task counts (percent of a run, members,
// series), or a fraction; it never goes back. Cancel() asks the task to stop: the task polls
// IsCanceled() (an atomic load, cheap enough for every step) and ends in its own way, saying
// so (a run fails with ERunCanceled, an ensemble starts no further member). Finish() is
// called once by whoever ran the task, when it has ended in any way; WaitFinished() waits for
// it.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

namespace kvsorv {

struct FeedbackProgress {
  std::size_t done = 0;
  std::size_t total = 0;  // 0 when the progress was given as a fraction
  double fraction = 0.0;  // 0 to 1
};

class Feedback {
 public:
  Feedback() = default;
  Feedback(const Feedback&) = delete;
  Feedback& operator=(const Feedback&) = delete;

  // `done` of `total` (done is clamped to total; a total of 0 is taken as nothing to do, a
  // fraction of 0). A report that would move the fraction back is ignored: the threads of a
  // task may report out of order.
  void SetProgress(std::size_t done, std::size_t total);
  // A fraction from 0 to 1 (clamped; NaN is ignored), with no count.
  void SetFraction(double fraction);
  FeedbackProgress Progress() const;

  // What the task is doing now, in words for the user.
  void SetMessage(std::string message);
  std::string Message() const;

  // Called after each change of the progress (a report that changes nothing calls nothing)
  // or of the message, on the reporting thread and outside every lock of this object; the
  // reporter decides whether its threads report one at a time. Setting replaces the last.
  void OnProgress(std::function<void(const FeedbackProgress&)> listener);
  void OnMessage(std::function<void(const std::string&)> listener);

  // Only a lock-free atomic store: safe from any thread and from a signal handler.
  void Cancel() noexcept { canceled_.store(true, std::memory_order_relaxed); }
  bool IsCanceled() const noexcept { return canceled_.load(std::memory_order_relaxed); }

  // The task has ended; wakes every WaitFinished. Later calls change nothing.
  void Finish();
  bool IsFinished() const;
  // Returns once Finish has been called (at once if it has).
  void WaitFinished() const;

 private:
  std::atomic<bool> canceled_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);

  mutable std::mutex mutex_;  // guards what follows
  mutable std::condition_variable finishedChanged_;
  FeedbackProgress progress_;
  std::string message_;
  bool finished_ = false;
  std::function<void(const FeedbackProgress&)> onProgress_;
  std::function<void(const std::string&)> onMessage_;
};

}  // namespace kvsorv
