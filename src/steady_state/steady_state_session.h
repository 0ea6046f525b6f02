#pragma once
// The numerical side of the steady-state window: loading the value sets at opening, solving
// after each committed entry, judging whether the result is a steady state, and settling the
// global model tables on OK, Cancel, save and process display. The window owns one session,
// shows its fields from the new set and mirrors its status; messages go through
// CurrentPrompter().

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/errors.h"
#include "program/prompter.h"
#include "program/run_modes.h"
#include "steady_state/steady_state_fields.h"
#include "steady_state/steady_state_solver.h"

namespace kvsorv {

// A failed solve passed on to the caller: "Steady state calculation failed. " followed by
// the solver's message. Thrown nested, so std::rethrow_if_nested recovers the solver's own
// error (ECalcInitialProc, ECalcNewValue, ECalcNewProcess or another failure).
class ESteadyStateFailure : public Exception {
  using Exception::Exception;
};

inline constexpr const char* kSteadyStateFailedPrefix = "Steady state calculation failed. ";
inline constexpr const char* kInvalidSteadyStateMessage = "Invalid Steady State";
inline constexpr const char* kCalculateNowQuestion = "Calculate steady state now?";
inline constexpr const char* kOpeningAbortedMessage =
    "Cannot calculate process values. Steady state calculation aborted.";
inline constexpr const char* kDiscardChangesQuestion =
    "Discard all changes made in this window since the last save?";
inline constexpr const char* kOverwriteParamFileQuestion = "Overwrite existing parameter file?";
inline constexpr const char* kNoValuesSavedMessage = "No values saved.";
// Beside a red light before the model has run in this session.
inline constexpr const char* kNotRunYetNote =
    "Red before the first run: the water coefficient is 0 until a run sets it. Run the model "
    "once, then open this window again.";

// A field of the window bound to its quantity's index in its kind (0 when unknown).
struct BoundField {
  const SteadyStateField* field;
  int index;
};

// What an update of the window did.
struct UpdateOutcome {
  bool solveFailed = false;  // a solve was asked and failed (and was reported)
  bool statusGreen = false;  // the judgement of the result: steady, no negative field
};

class SteadyStateSession {
 public:
  // Binds every field to its index with GetArrayIndex (again at each opening, so a
  // session made before the catalogue was built binds correctly once it is).
  SteadyStateSession();

  void SetModes(const TRunModes& modes);
  const TRunModes& Modes() const { return modes_; }
  // Driver-file time (year) at which the drivers were looked up; passed to evaluations.
  void SetSteadyStateTime(double time) { solver_.SetSteadyStateTime(time); }
  // Whether the state and process grid is visible and lists processes; an update then
  // copies the new set into the global tables for the grid to refresh from.
  void SetProcessGridShown(bool shown) { processGridShown_ = shown; }

  SteadyStateSolver& Solver() { return solver_; }
  const SteadyStateSolver& Solver() const { return solver_; }
  const std::vector<BoundField>& Fields() const { return fields_; }

  // Opening, up to the first judgement: saved and new set := the global tables, working
  // states and parameters := the global ones, new and working drivers := the global drivers
  // with the values of `driversAtSteadyStateTime` (drivers 1..numdrivers), the group boxes
  // enabled, then the loaded set evaluated and judged (UpdateForm(false)). Returns false when
  // that failed and was reported as the warning "Cannot calculate process values. Steady
  // state calculation aborted."; in SensitivityMode or MonteCarloMode the failure (such as
  // "Invalid Steady State" for a loaded set that is not steady) is passed on instead.
  bool Open(const drivearray& driversAtSteadyStateTime);

  // The window's opening from the program's state: the run modes (ModelBatchMode turns the
  // insoluble C:N check off), the window marked shown, the drivers of RunSettings'
  // DriverFileName at its SteadyStateTime, then Open. The driver lookup comes before failures
  // are handled: a missing driver file shows its error box and the failure passes on.
  bool OpenFromProgram();

  // The rest of the opening: in SensitivityMode or MonteCarloMode solves at once; otherwise
  // asks "Calculate steady state now?" (confirmation, Yes and No) and solves on Yes.
  // Failures are handled as in Open; returns false when one was reported.
  bool OfferSolve();

  // Clears the final-evaluation mark, solves when asked, then judges the new set. A failed
  // solve is prefixed with "Steady state calculation failed. "; in InteractiveMode it is
  // shown as an error box (OK), the nine group boxes are disabled and the judgement goes
  // on, with the status red whatever the processes of an earlier solve say (they no longer
  // match the values shown); otherwise ESteadyStateFailure is raised and nothing is judged. A
  // result that is not steady (or shows a negative field) raises "Invalid Steady State" in
  // SensitivityMode or MonteCarloMode and turns the status red otherwise. Returns what happened.
  UpdateOutcome UpdateForm(bool solve);

  // Writes one value into the working set (kind and index as bound) and runs
  // UpdateForm(solve). An index outside the kind's table raises std::out_of_range.
  UpdateOutcome ChangeValue(QuantityKind kind, int index, double value, bool solve);

  // A committed entry: the text typed into the entry field of `symbol`. An empty text does
  // nothing (nullopt); a text that is not a number raises EConvertError and stores nothing;
  // otherwise ChangeValue(kind, index, value, true). A symbol that is no entry field raises
  // std::invalid_argument.
  std::optional<UpdateOutcome> CommitEntry(std::string_view symbol, std::string_view text,
                                           char decimalSeparator = '.');

  // Value of a field in the new set, as the window shows it.
  double FieldValue(const BoundField& bound) const;

  // The judgement of the last update.
  bool IsSteady() const { return steady_; }
  bool StatusGreen() const { return statusGreen_; }
  // What the light does not say itself: kNotRunYetNote while it is red and no run has set the
  // water coefficient yet; otherwise empty.
  std::string StatusNote() const;
  // Positions in Fields() whose shown value is negative (yellow).
  const std::vector<int>& InvalidFields() const { return invalidFields_; }
  // False after a failed interactive solve until the next opening.
  bool GroupBoxesEnabled() const { return groupBoxesEnabled_; }
  bool ParamFileConfirmed() const { return paramFileConfirmed_; }

  // OK: the global tables := the new set. Closes.
  void Ok();
  // Cancel: asks "Discard all changes made in this window since the last save?"
  // (confirmation, Yes and No); Yes: the global tables := the saved set, No: := the new set.
  // Closes. Returns the answer.
  Answer Cancel();
  // Closing the window any other way: settles nothing.
  void Close();
  // Save parameter file: unless confirmed earlier in this opening, asks "Overwrite existing
  // parameter file?" (Yes and No); No shows the warning "No values saved." and returns false.
  // Otherwise States and Params := the new ones, `saveParamFile` writes them (its failure
  // passes on), and the saved states and parameters := the new ones. Returns true.
  bool SaveParamFile(const std::function<void()>& saveParamFile);
  // Show all processes: the global tables := the new set.
  void ShowAllProcesses();

 private:
  void Bind();
  // Reports a failure of the opening as the window does; returns false, or rethrows.
  bool OpeningFailed();
  void Judge();
  void CopyNewSetToGlobals() const;

  SteadyStateSolver solver_;
  TRunModes modes_;
  std::vector<BoundField> fields_;
  std::vector<int> invalidFields_;
  bool steady_ = false;
  bool statusGreen_ = false;
  bool groupBoxesEnabled_ = true;
  bool paramFileConfirmed_ = false;
  bool processGridShown_ = false;
};

}  // namespace kvsorv
