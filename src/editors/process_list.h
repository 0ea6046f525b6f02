#pragma once
// The process list (the state and process grid showing every process) as the windows that
// open it see it: shown without waiting, hidden, and whether it is open. It refreshes itself
// from the change notifier whenever the processes change.

namespace kvsorv {

class ProcessList {
 public:
  virtual ~ProcessList() = default;
  // ShowProcess: fills the list from Processes and shows it beside the window that opens it.
  virtual void ShowProcessList() = 0;
  // Hides the list without settling anything (the opener closes).
  virtual void HideProcessList() = 0;
  // Whether the list is visible and lists processes (not states).
  virtual bool ProcessListShown() const = 0;
};

}  // namespace kvsorv
