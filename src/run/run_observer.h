#pragma once
// How a run tells the windows (or the command line) of its course without knowing them: its
// start, completion and failure. A run always calls these; a caller that wants silence passes
// an observer that does nothing (this base class). Its progress goes to a Feedback.

#include <string>

namespace kvsorv {

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Preparation begins: show the progress window and disable the main window.
  virtual void RunStarting() {}
  // The run has completed (normally or after a failure in its step loop): refresh and enable
  // the main window, show RunSettings.PresentTime, hide the progress window.
  virtual void RunCompleted() {}
  // A failure in the step loop, after completion: show the trouble window with the message.
  virtual void RunFailed(const std::string& /*message*/) {}
  // The run stopped before its step loop, or its completion failed, and everything it had
  // touched is restored: enable the main window and hide the progress window. The error is
  // passed on to the caller afterwards.
  virtual void RunAborted() {}
};

}  // namespace kvsorv
