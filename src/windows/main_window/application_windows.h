#pragma once
// Every window of the desktop program, created once at start-up in their fixed order, the
// main window first; the others belong to it and live until it is destroyed. It is the way
// the main window's commands reach the other windows, and the way the editors reach the
// process list (which is created after the parameter editor).

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "editors/process_list.h"
#include "main_window/program_windows.h"

namespace kvsorv {

class TMainForm;
class TFmAbout;
class TFmCalculate;
class TFmNote;
class TDlgReload;
class TFmProgress;
class TFmTrouble;
class TFmParameter;
class TDataForm;
class TDlgScale;
class TFmDisplayData;
class TFmSeries;
class TFmEnsemble;
class TFmCalibrate;

class ApplicationWindows : public ProgramWindows, public ProcessList {
 public:
  // Creates the windows; the main window's creation performs the start-up steps with the
  // executable's path (its name selects the run mode).
  explicit ApplicationWindows(const std::string& executablePath);
  ~ApplicationWindows() override;
  ApplicationWindows(const ApplicationWindows&) = delete;
  ApplicationWindows& operator=(const ApplicationWindows&) = delete;

  TMainForm& MainForm() { return *mainForm_; }
  TFmProgress& Progress() { return *progress_; }
  TFmTrouble& Trouble() { return *trouble_; }
  TFmAbout& About() { return *about_; }
  TFmNote& DriverEditor() { return *note_; }
  TDlgReload& ReloadDialog() { return *reload_; }
  TFmParameter& Parameter() { return *parameter_; }
  TDataForm& Data() { return *data_; }
  // Made when first shown; nullptr until then.
  TFmEnsemble* Ensemble() { return ensemble_; }
  TFmCalibrate* Calibration() { return calibration_; }

  // The windows in the order they were created.
  const std::vector<QWidget*>& CreationOrder() const { return created_; }

  // ProgramWindows.
  void ShowProgress() override;
  void SetProgress(int percent) override;
  void HideProgress() override;
  void ShowTrouble(const std::string& message) override;
  void ShowAbout() override;
  bool ShowParameterEditor() override;
  void ShowStateGrid() override;
  bool ShowDriverEditor() override;
  bool ShowReloadDialog() override;
  void ShowSteadyState() override;
  void ShowOutputDisplay(bool tableMode) override;
  void ShowEnsemble(std::optional<ensemble::Method> design) override;
  void OpenEnsemblePlan(const std::string& fileName) override;
  bool CloseEnsemblePlan() override;
  void ShowCalibration() override;
  bool CloseCalibrationPlan() override;

  // ProcessList: TDataForm as the process list.
  void ShowProcessList() override;
  void HideProcessList() override;
  bool ProcessListShown() const override;

 private:
  std::unique_ptr<TMainForm> mainForm_;
  TFmCalculate* calculate_ = nullptr;
  TDlgScale* scale_ = nullptr;
  TDlgReload* reload_ = nullptr;
  TFmParameter* parameter_ = nullptr;
  TDataForm* data_ = nullptr;
  TFmNote* note_ = nullptr;
  TFmDisplayData* display_ = nullptr;
  TFmAbout* about_ = nullptr;
  TFmSeries* series_ = nullptr;
  TFmTrouble* trouble_ = nullptr;
  TFmProgress* progress_ = nullptr;
  TFmEnsemble* ensemble_ = nullptr;      // made on first use, after the windows of start-up
  TFmCalibrate* calibration_ = nullptr;  // made on first use
  std::vector<QWidget*> created_;
};

}  // namespace kvsorv
