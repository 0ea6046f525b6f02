#pragma once
// SIGINT, SIGTERM and SIGHUP ask a long command to stop rather than end it: the handler only
// cancels the command's Feedback (an atomic store), which the command polls, and the command
// exits with 128 + the signal once it has kept its work. A second of these signals ends the program
// at once, as the first would have without a handler. A signal ignored when the program started
// (nohup, a shell's background job) stays ignored.

#include <csignal>
#include <string>

#include "tasks/feedback.h"

namespace kvsorv::cli {

class StopSignals {
 public:
  // Installs the handlers, which cancel `feedback` (it must outlive this); one StopSignals at
  // a time.
  explicit StopSignals(Feedback& feedback);
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  // Restores the handlers that were there before.
  ~StopSignals();

  // The signal that asked, 0 while none has.
  int Signal() const;

 private:
  struct sigaction before_[3];
};

// "SIGINT", "SIGTERM", "SIGHUP", or "signal N".
std::string SignalName(int signal);

}  // namespace kvsorv::cli
