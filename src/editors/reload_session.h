#pragma once
// The rules of the reload dialog (TDlgReload): which values to read back from the parameter
// file, kept from one showing to the next, and the reload itself. Messages go through
// CurrentPrompter(); a reload that changes States or Params tells the change notifier.

namespace kvsorv {

// What a reload does: read the parameters' values, the states' values, or both.
struct ReloadChoice {
  bool params = true;  // CbParams "Parameters"
  bool states = true;  // CbState "State Variables"
};

class ReloadSession {
 public:
  const ReloadChoice& Choice() const { return choice_; }
  void SetChoice(const ReloadChoice& choice) { choice_ = choice; }

  // OK: reads ParamFileName into scratch tables and copies the `value` of every chosen
  // parameter and state into Params and States (names, units, symbols and HoldConstant stay).
  // Returns true when the file was read (the dialog closes with OK). A file of another
  // model (reported by the reader) or one that cannot be read (reported here) changes
  // nothing, ParamsModified included, and returns false. After a read ParamsModified is
  // clear when both boxes were checked; with one unchecked, that table's unsaved values
  // remain and the flag keeps its value.
  bool Reload();

 private:
  ReloadChoice choice_;
};

}  // namespace kvsorv
