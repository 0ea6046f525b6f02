#include "steady_state/steady_state_session.h"

#include "program/program_files.h"

#include <cmath>
#include <stdexcept>

#include "files/driver_file.h"
#include "model/process_evaluation.h"
#include "program/change_notifier.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "program/run_settings.h"
#include "steady_state/field_text.h"

namespace kvsorv {

namespace {

// Largest magnitude of a state derivative that still counts as standing still.
constexpr double kSteadyRateLimit = 1e-8;

int CountOf(QuantityKind kind) {
  switch (kind) {
    case QuantityKind::kDriver:
      return ModelDef.numdrivers;
    case QuantityKind::kState:
      return ModelDef.numstate;
    case QuantityKind::kParameter:
      return ModelDef.numparam;
    case QuantityKind::kProcess:
      return ModelDef.numprocess;
  }
  return 0;
}

}  // namespace

SteadyStateSession::SteadyStateSession() {
  Bind();
}

void SteadyStateSession::Bind() {
  fields_.clear();
  for (const SteadyStateField& f : SteadyStateFields())
    fields_.push_back({&f, SteadyStateSolver::GetArrayIndex(f.kind, f.symbol)});
}

void SteadyStateSession::SetModes(const TRunModes& modes) {
  modes_ = modes;
  solver_.SetModelBatchMode(modes.ModelBatchMode);
}

bool SteadyStateSession::Open(const drivearray& driversAtSteadyStateTime) {
  Bind();
  SteadyStateSolver& s = solver_;
  s.SetWindowShown(true);
  paramFileConfirmed_ = false;

  s.LastSavedStates() = States;
  s.LastSavedParams() = Params;
  s.LastSavedDrivers() = Drivers;
  s.LastSavedProcesses() = Processes;
  s.NewStates() = States;
  s.NewParams() = Params;
  s.NewDrivers() = Drivers;
  s.NewProcesses() = Processes;
  s.WorkStates() = States;
  s.WorkParams() = Params;

  // The lookup writes driver values only; names, units and symbols stay the catalogue's.
  for (int i = 1; i <= ModelDef.numdrivers; ++i)
    s.NewDrivers()[i].value = driversAtSteadyStateTime[i].value;
  s.WorkDrivers() = s.NewDrivers();

  groupBoxesEnabled_ = true;

  try {
    s.ClearFinalEvaluation();
    ComputeProcesses(s.NewDrivers(), s.NewParams(), s.NewStates(), s.NewProcesses(),
                     s.SteadyStateTime(), s.InsolubleCNCheck());
    s.WorkProcesses() = s.NewProcesses();
    s.StartProcesses() = s.NewProcesses();
    UpdateForm(false);
  } catch (const std::exception&) {
    return OpeningFailed();
  }
  return true;
}

bool SteadyStateSession::OpenFromProgram() {
  SetModes(RunModes);
  solver_.SetModelBatchMode(RunModes.ModelBatchMode);
  solver_.SetWindowShown(true);
  SetSteadyStateTime(RunSettings.SteadyStateTime);
  drivearray lookedUp = Drivers;
  LookupDriversAt(RunSettings.DriverFileName, lookedUp, RunSettings.SteadyStateTime,
                  RunSettings.StopTime);
  return Open(lookedUp);
}

bool SteadyStateSession::OfferSolve() {
  try {
    if (modes_.SensitivityMode || modes_.MonteCarloMode) {
      UpdateForm(true);
    } else if (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                         kCalculateNowQuestion) == Answer::kYes) {
      UpdateForm(true);
    }
  } catch (const std::exception&) {
    return OpeningFailed();
  }
  return true;
}

bool SteadyStateSession::OpeningFailed() {
  if (modes_.SensitivityMode || modes_.MonteCarloMode) throw;
  CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kOpeningAbortedMessage);
  return false;
}

UpdateOutcome SteadyStateSession::UpdateForm(bool solve) {
  UpdateOutcome outcome;
  solver_.ClearFinalEvaluation();
  if (solve) {
    try {
      solver_.CalculateSteadyState();
    } catch (const std::exception& e) {
      const std::string message = std::string(kSteadyStateFailedPrefix) + e.what();
      if (!modes_.InteractiveMode) std::throw_with_nested(ESteadyStateFailure(message));
      CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, message);
      groupBoxesEnabled_ = false;
      outcome.solveFailed = true;
    }
  }
  Judge();
  if (outcome.solveFailed) statusGreen_ = false;
  if (!statusGreen_ && (modes_.SensitivityMode || modes_.MonteCarloMode))
    throw Exception(kInvalidSteadyStateMessage);
  if (modes_.InteractiveMode && processGridShown_) CopyNewSetToGlobals();
  outcome.statusGreen = statusGreen_;
  return outcome;
}

void SteadyStateSession::Judge() {
  invalidFields_.clear();
  for (int i = 0; i < static_cast<int>(fields_.size()); ++i)
    if (!CheckValue(FormatFieldValue(FieldValue(fields_[i])))) invalidFields_.push_back(i);

  steady_ = true;
  for (int i = 1; i <= ModelDef.numstate; ++i)
    if (!(std::fabs(solver_.NewProcesses()[i].value) <= kSteadyRateLimit)) steady_ = false;
  statusGreen_ = steady_ && invalidFields_.empty();
}

std::string SteadyStateSession::StatusNote() const {
  return !statusGreen_ && WaterCoefficient == 0.0 ? kNotRunYetNote : "";
}

UpdateOutcome SteadyStateSession::ChangeValue(QuantityKind kind, int index, double value,
                                              bool solve) {
  if (index < 1 || index > CountOf(kind))
    throw std::out_of_range("steady-state field index " + std::to_string(index));
  switch (kind) {
    case QuantityKind::kDriver:
      solver_.WorkDrivers()[index].value = value;
      break;
    case QuantityKind::kState:
      solver_.WorkStates()[index].value = value;
      break;
    case QuantityKind::kParameter:
      solver_.WorkParams()[index].value = value;
      break;
    case QuantityKind::kProcess:
      solver_.WorkProcesses()[index].value = value;
      break;
  }
  return UpdateForm(solve);
}

std::optional<UpdateOutcome> SteadyStateSession::CommitEntry(std::string_view symbol,
                                                             std::string_view text,
                                                             char decimalSeparator) {
  const SteadyStateField* field = FindEntryField(symbol);
  if (field == nullptr)
    throw std::invalid_argument("'" + std::string(symbol) + "' is not an entry field");
  if (text.empty()) return std::nullopt;
  const std::optional<double> value = ParseFieldNumber(text, decimalSeparator);
  if (!value) throw EConvertError(std::string(text));
  return ChangeValue(field->kind, SteadyStateSolver::GetArrayIndex(field->kind, field->symbol),
                     *value, true);
}

double SteadyStateSession::FieldValue(const BoundField& bound) const {
  if (bound.index < 1) return 0.0;
  switch (bound.field->kind) {
    case QuantityKind::kDriver:
      return solver_.NewDrivers()[bound.index].value;
    case QuantityKind::kState:
      return solver_.NewStates()[bound.index].value;
    case QuantityKind::kParameter:
      return solver_.NewParams()[bound.index].value;
    case QuantityKind::kProcess:
      return solver_.NewProcesses()[bound.index].value;
  }
  return 0.0;
}

void SteadyStateSession::CopyNewSetToGlobals() const {
  States = solver_.NewStates();
  Drivers = solver_.NewDrivers();
  Params = solver_.NewParams();
  Processes = solver_.NewProcesses();
  TableChanges().Notify(
      TableChange{.states = true, .parameters = true, .drivers = true, .processes = true});
}

void SteadyStateSession::Ok() {
  CopyNewSetToGlobals();
  Close();
}

Answer SteadyStateSession::Cancel() {
  const Answer answer = CurrentPrompter().Message(MessageKind::kConfirmation,
                                                  MessageButtons::kYesNo, kDiscardChangesQuestion);
  if (answer == Answer::kYes) {
    States = solver_.LastSavedStates();
    Params = solver_.LastSavedParams();
    Processes = solver_.LastSavedProcesses();
    Drivers = solver_.LastSavedDrivers();
    TableChanges().Notify(
        TableChange{.states = true, .parameters = true, .drivers = true, .processes = true});
  } else {
    CopyNewSetToGlobals();
  }
  Close();
  return answer;
}

void SteadyStateSession::Close() {
  solver_.SetWindowShown(false);
}

bool SteadyStateSession::SaveParamFile(const std::function<void()>& saveParamFile) {
  if (!paramFileConfirmed_ &&
      CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                kOverwriteParamFileQuestion) != Answer::kYes) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kNoValuesSavedMessage);
    return false;
  }
  States = solver_.NewStates();
  Params = solver_.NewParams();
  TableChanges().Notify({.states = true, .parameters = true});
  saveParamFile();
  paramFileConfirmed_ = true;
  solver_.LastSavedStates() = solver_.NewStates();
  solver_.LastSavedParams() = solver_.NewParams();
  return true;
}

void SteadyStateSession::ShowAllProcesses() {
  CopyNewSetToGlobals();
}

}  // namespace kvsorv
