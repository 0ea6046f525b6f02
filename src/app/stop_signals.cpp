#include "app/stop_signals.h"

#include <atomic>
#include <cerrno>

namespace kvsorv::cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free, so that the handler may touch them.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
std::atomic<Feedback*> stopFeedback{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
              std::atomic<Feedback*>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) {
  const int saved = errno;
  if (stopRequested.exchange(true)) {
    // The second: the default action, which ends the program with this signal.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(signal, &plain, nullptr);
    raise(signal);
  } else {
    stopSignal.store(signal);
    if (Feedback* feedback = stopFeedback.load()) feedback->Cancel();
  }
  errno = saved;
}

}  // namespace

StopSignals::StopSignals(Feedback& feedback) {
  stopRequested = false;
  stopSignal = 0;
  stopFeedback = &feedback;
  struct sigaction handler {};
  handler.sa_handler = OnStopSignal;
  sigemptyset(&handler.sa_mask);
  handler.sa_flags = SA_RESTART;  // the writes of the results file go on undisturbed
  for (int i = 0; i < 3; ++i) {
    sigaction(kSignals[i], nullptr, &before_[i]);
    if (before_[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &handler, nullptr);
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &before_[i], nullptr);
  stopFeedback = nullptr;
}

int StopSignals::Signal() const {
  return stopSignal.load();
}

std::string SignalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal " + std::to_string(signal);
  }
}

}  // namespace kvsorv::cli
