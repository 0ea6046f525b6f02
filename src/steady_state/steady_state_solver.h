#pragma once
// The steady-state solver: from observed stocks and fluxes of an ecosystem taken to be in
// equilibrium, derives the parameters and soil pools under which the model stands still, in
// one forward pass of closed-form inversions interleaved with five process evaluations.
// It works on value sets of its own and never touches the global model tables.

#include <string_view>

#include "model/records.h"

namespace kvsorv {

// Kind codes by which the steady-state window and solver address a quantity.
enum class QuantityKind : int { kDriver = 0, kState = 1, kParameter = 2, kProcess = 3 };

class SteadyStateSolver {
 public:
  // Index of the quantity of `kind` whose symbol equals `symbol` exactly (case-sensitive),
  // from the global catalogue tables; where several match the last wins; 0 when none does.
  // Processes are scanned from index numstate to numprocess. `Sp` is both a driver and a
  // process; the kind decides which is meant.
  static int GetArrayIndex(QuantityKind kind, std::string_view symbol);

  // Solves once (see the .cpp for the steps). Reads its inputs from the working set and
  // writes every derived value there; on success publishes the working set as the new set
  // and the final evaluation as the new processes. Failures, each message the fixed text
  // followed by the underlying error's message:
  //   ECalcInitialProc  the first evaluation failed; new set unchanged;
  //   ECalcNewValue     a check, an arithmetic fault or an evaluation of the derivation
  //                     failed, or the final evaluation raised a math error other than the
  //                     insoluble C:N error; new states, parameters and drivers := working;
  //   ECalcNewProcess   the final evaluation raised the insoluble C:N error; the whole new
  //                     set := the working set.
  // The working set is never rolled back; a later solve starts from it.
  void CalculateSteadyState();

  // The mark set just before the final evaluation of a solve and left set; the window
  // clears it when it opens and at the start of every update.
  bool FinalEvaluation() const { return finalEvaluation_; }
  void ClearFinalEvaluation() { finalEvaluation_ = false; }

  // Whether an evaluation made now would raise the insoluble C:N error: the mark is set,
  // the window is shown and the run mode is not ModelBatchMode.
  bool InsolubleCNCheck() const { return finalEvaluation_ && windowShown_ && !modelBatchMode_; }

  // Context the owner sets: the run mode that turns the insoluble C:N check off, whether the
  // steady-state window is on screen, and the time passed to every evaluation (year).
  void SetModelBatchMode(bool on) { modelBatchMode_ = on; }
  bool ModelBatchMode() const { return modelBatchMode_; }
  void SetWindowShown(bool shown) { windowShown_ = shown; }
  bool WindowShown() const { return windowShown_; }
  void SetSteadyStateTime(double time) { steadyStateTime_ = time; }
  double SteadyStateTime() const { return steadyStateTime_; }

  // The working set: the user's entries and every value the solver derives.
  statearray& WorkStates() { return workStates_; }
  paramarray& WorkParams() { return workParams_; }
  drivearray& WorkDrivers() { return workDrivers_; }
  processarray& WorkProcesses() { return workProcesses_; }
  const statearray& WorkStates() const { return workStates_; }
  const paramarray& WorkParams() const { return workParams_; }
  const drivearray& WorkDrivers() const { return workDrivers_; }
  const processarray& WorkProcesses() const { return workProcesses_; }

  // The new set: the values on display (last completed solve, or as loaded).
  statearray& NewStates() { return newStates_; }
  paramarray& NewParams() { return newParams_; }
  drivearray& NewDrivers() { return newDrivers_; }
  processarray& NewProcesses() { return newProcesses_; }
  const statearray& NewStates() const { return newStates_; }
  const paramarray& NewParams() const { return newParams_; }
  const drivearray& NewDrivers() const { return newDrivers_; }
  const processarray& NewProcesses() const { return newProcesses_; }

  // The saved set: what Cancel can restore. The solver itself never touches it.
  statearray& LastSavedStates() { return lastSavedStates_; }
  paramarray& LastSavedParams() { return lastSavedParams_; }
  drivearray& LastSavedDrivers() { return lastSavedDrivers_; }
  processarray& LastSavedProcesses() { return lastSavedProcesses_; }
  const statearray& LastSavedStates() const { return lastSavedStates_; }
  const paramarray& LastSavedParams() const { return lastSavedParams_; }
  const drivearray& LastSavedDrivers() const { return lastSavedDrivers_; }
  const processarray& LastSavedProcesses() const { return lastSavedProcesses_; }

  // Processes of the first evaluation of the current solve (at opening: of the loaded set).
  processarray& StartProcesses() { return startProcesses_; }
  const processarray& StartProcesses() const { return startProcesses_; }
  // Processes of the latest evaluation part way through a solve (second to fourth).
  const processarray& StepProcesses() const { return stepProcesses_; }

 private:
  struct Intermediates;

  // Runs the process evaluation on the working drivers, parameters and states into `into`.
  // Negative working states are raised to 0.00001 by the evaluation itself.
  void Evaluate(processarray& into);

  // The derivation between the first and the final evaluation.
  void DeriveLitterfallRates();
  void DerivePhotosynthesisAndRespiration(Intermediates& m);
  void DerivePlantGrowthAndTransport(Intermediates& m);
  void DeriveSoilOrganicMatter(Intermediates& m);
  void DeriveHumusAndAmmonium(Intermediates& m);

  // The final evaluation and publication of the result.
  void EvaluateFinal();

  // New states, parameters and drivers := the working ones (whole tables).
  void PublishWorkingValues();

  statearray workStates_;
  paramarray workParams_;
  drivearray workDrivers_;
  processarray workProcesses_;
  statearray newStates_;
  paramarray newParams_;
  drivearray newDrivers_;
  processarray newProcesses_;
  statearray lastSavedStates_;
  paramarray lastSavedParams_;
  drivearray lastSavedDrivers_;
  processarray lastSavedProcesses_;
  processarray startProcesses_;
  processarray stepProcesses_;

  bool finalEvaluation_ = false;
  bool modelBatchMode_ = false;
  bool windowShown_ = false;
  double steadyStateTime_ = 0.0;
};

}  // namespace kvsorv
