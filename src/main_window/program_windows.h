#pragma once
// The windows the main window's commands open besides itself, one method per window. The
// desktop program implements it with its dialogs; tests with a log.

#include <optional>
#include <string>

#include "ensemble/sampling.h"

namespace kvsorv {

class ProgramWindows {
 public:
  virtual ~ProgramWindows() = default;

  // TFmProgress: shown without waiting, moved to a whole percent 0..100, hidden.
  virtual void ShowProgress() = 0;
  virtual void SetProgress(int percent) = 0;
  virtual void HideProgress() = 0;
  // TFmTrouble, shown modally with the message of a failed run.
  virtual void ShowTrouble(const std::string& message) = 0;
  // TFmAbout, modal.
  virtual void ShowAbout() = 0;

  // The editors and other windows, shown modally; true when closed with OK.
  virtual bool ShowParameterEditor() = 0;  // TFmParameter
  virtual void ShowStateGrid() = 0;        // TDataForm on its states page
  virtual bool ShowDriverEditor() = 0;     // TFmNote
  virtual bool ShowReloadDialog() = 0;     // TDlgReload
  virtual void ShowSteadyState() = 0;      // TFmCalculate
  // TFmDisplayData as a table (true) or a chart (false).
  virtual void ShowOutputDisplay(bool tableMode) = 0;
  // TFmEnsemble, shown without waiting (a run goes on while the other windows are used),
  // with its design method preset when one is given.
  virtual void ShowEnsemble(std::optional<ensemble::Method> design) = 0;
  // TFmEnsemble with the plan `fileName` opened (a plan that cannot be read is reported).
  virtual void OpenEnsemblePlan(const std::string& fileName) = 0;
  // Asks about an ensemble plan changed and not saved before the program ends, as Exit asks
  // about the parameter file; false when the user cancels (or the plan could not be saved).
  virtual bool CloseEnsemblePlan() = 0;
  // TFmCalibrate, shown without waiting (a calibration goes on while the other windows are
  // used).
  virtual void ShowCalibration() = 0;
  // Asks about a calibration plan changed and not saved before the program ends; false when
  // the user cancels (or the plan could not be saved).
  virtual bool CloseCalibrationPlan() = 0;
};

}  // namespace kvsorv
