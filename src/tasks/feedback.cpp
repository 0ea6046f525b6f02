#include "tasks/feedback.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kvsorv {

namespace {

// Moves `current` to `next` unless that goes back or changes nothing; whether it moved.
bool Advance(FeedbackProgress& current, const FeedbackProgress& next) {
  if (next.fraction < current.fraction) return false;
  if (next.fraction == current.fraction && next.done == current.done && next.total == current.total)
    return false;
  current = next;
  return true;
}

}  // namespace

void Feedback::SetProgress(std::size_t done, std::size_t total) {
  FeedbackProgress next{.done = std::min(done, total), .total = total};
  next.fraction = total == 0 ? 0.0 : static_cast<double>(next.done) / static_cast<double>(total);
  std::function<void(const FeedbackProgress&)> listener;
  {
    const std::lock_guard lock(mutex_);
    if (!Advance(progress_, next)) return;
    listener = onProgress_;
  }
  if (listener) listener(next);
}

void Feedback::SetFraction(double fraction) {
  if (std::isnan(fraction)) return;
  const FeedbackProgress next{.fraction = std::clamp(fraction, 0.0, 1.0)};
  std::function<void(const FeedbackProgress&)> listener;
  {
    const std::lock_guard lock(mutex_);
    if (!Advance(progress_, next)) return;
    listener = onProgress_;
  }
  if (listener) listener(next);
}

FeedbackProgress Feedback::Progress() const {
  const std::lock_guard lock(mutex_);
  return progress_;
}

void Feedback::SetMessage(std::string message) {
  std::function<void(const std::string&)> listener;
  {
    const std::lock_guard lock(mutex_);
    if (message == message_) return;
    message_ = message;
    listener = onMessage_;
  }
  if (listener) listener(message);
}

std::string Feedback::Message() const {
  const std::lock_guard lock(mutex_);
  return message_;
}

void Feedback::OnProgress(std::function<void(const FeedbackProgress&)> listener) {
  const std::lock_guard lock(mutex_);
  onProgress_ = std::move(listener);
}

void Feedback::OnMessage(std::function<void(const std::string&)> listener) {
  const std::lock_guard lock(mutex_);
  onMessage_ = std::move(listener);
}

void Feedback::Finish() {
  {
    const std::lock_guard lock(mutex_);
    finished_ = true;
  }
  finishedChanged_.notify_all();
}

bool Feedback::IsFinished() const {
  const std::lock_guard lock(mutex_);
  return finished_;
}

void Feedback::WaitFinished() const {
  std::unique_lock lock(mutex_);
  finishedChanged_.wait(lock, [this] { return finished_; });
}

}  // namespace kvsorv
