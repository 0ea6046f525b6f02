#pragma once
// SIGINT, SIGTERM and SIGHUP ask a long command to stop rather than end it: the handler only
// sets a flag, which the command polls, and the command exits with 128 + the signal once it
// has kept its work. A second of these signals ends the program at once, as the first would
// have without a handler. A signal ignored when the program started (nohup, a shell's
// background job) stays ignored.

#include <atomic>
#include <csignal>
#include <string>

namespace kvsorv::cli {

class StopSignals {
 public:
  // Installs the handlers; one StopSignals at a time.
  StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  // Restores the handlers that were there before.
  ~StopSignals();

  // Set once a stop was asked for.
  const std::atomic<bool>& Requested() const;
  // The signal that asked, 0 while none has.
  int Signal() const;

 private:
  struct sigaction before_[3];
};

// "SIGINT", "SIGTERM", "SIGHUP", or "signal N".
std::string SignalName(int signal);

}  // namespace kvsorv::cli
