#include "windows/main_window/application_windows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "main_window/failure_report.h"
#include "main_window/file_commands.h"
#include "main_window/window_commands.h"
#include "windows/auxiliary/about_window.h"
#include "windows/auxiliary/progress_window.h"
#include "windows/auxiliary/trouble_window.h"
#include "windows/calibration_window/calibration_window.h"
#include "windows/common/window_placement.h"
#include "windows/display/display_window.h"
#include "windows/display/scale_dialog.h"
#include "windows/display/series_dialog.h"
#include "windows/editors/data_form.h"
#include "windows/editors/driver_editor.h"
#include "windows/editors/parameter_window.h"
#include "windows/editors/reload_dialog.h"
#include "windows/ensemble_window/ensemble_window.h"
#include "windows/main_window/main_form.h"
#include "windows/steady_state/calculate_window.h"

namespace kvsorv {

namespace {

// How long a run waits for the window system to map its progress window before it starts.
constexpr qint64 kLongestWaitForProgressWindowMs = 500;

}  // namespace

ApplicationWindows::ApplicationWindows(const std::string& executablePath) {
  mainForm_ = std::make_unique<TMainForm>(executablePath, *this);
  QWidget* owner = mainForm_.get();
  // The output display's dialogs (one made before it, one after) and the From File command.
  const TFmDisplayData::Hooks displayHooks{
      .viewOutputFile = [this] { MIViewOutFileClick(*mainForm_); },
      .chooseSeries =
          [this](OutputDisplaySession& s) {
            GiveToOwner(series_, display_);
            series_->Open(s);
          },
      .scaleAxis =
          [this](OutputDisplaySession& s, const std::function<void()>& changed) {
            GiveToOwner(scale_, display_);
            scale_->Open(s, changed);
          }};
  // The creation order of the program's windows.
  created_ = {
      mainForm_.get(),
      calculate_ = new TFmCalculate({
                                        .saveParamFile = [this] { MISaveParamClick(*mainForm_); },
                                        .showProcessList = [this] { ShowProcessList(); },
                                        .hideProcessList = [this] { HideProcessList(); },
                                        .processListShown = [this] { return ProcessListShown(); },
                                    },
                                    owner),
      scale_ = new TDlgScale(owner),
      reload_ = new TDlgReload(owner),
      parameter_ = new TFmParameter(*this, owner),
      data_ = new TDataForm(owner),
      note_ = new TFmNote(
          [this] {
            RunReportingFailures([this] { ChooseDriver(*mainForm_, FileTrigger::kDialog); });
          },
          owner),
      display_ = new TFmDisplayData(displayHooks, owner),
      about_ = new TFmAbout(owner),
      series_ = new TFmSeries(owner),
      trouble_ = new TFmTrouble(owner),
      progress_ = new TFmProgress(owner),
  };
  OpenStartUpWindows(*mainForm_);
}

ApplicationWindows::~ApplicationWindows() = default;

void ApplicationWindows::ShowProgress() {
  progress_->show();
  progress_->raise();
  // The run takes the event loop from here on: wait (briefly) until the window system has
  // mapped the window, then paint it, so even a short run shows it drawn.
  QElapsedTimer waited;
  waited.start();
  while (progress_->windowHandle() != nullptr && !progress_->windowHandle()->isExposed() &&
         waited.elapsed() < kLongestWaitForProgressWindowMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  }
  progress_->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ApplicationWindows::SetProgress(int percent) {
  progress_->SetPosition(percent);
}

void ApplicationWindows::HideProgress() {
  progress_->hide();
}

void ApplicationWindows::ShowTrouble(const std::string& message) {
  trouble_->ShowError(message);
}

void ApplicationWindows::ShowAbout() {
  about_->exec();
}

bool ApplicationWindows::ShowParameterEditor() {
  return parameter_->Execute();
}

void ApplicationWindows::ShowStateGrid() {
  data_->ShowStates();
}

bool ApplicationWindows::ShowDriverEditor() {
  return note_->exec() == QDialog::Accepted;
}

bool ApplicationWindows::ShowReloadDialog() {
  return reload_->exec() == QDialog::Accepted;
}

void ApplicationWindows::ShowSteadyState() {
  calculate_->Open();
}

void ApplicationWindows::ShowOutputDisplay(bool tableMode) {
  display_->Open(tableMode);
}

void ApplicationWindows::ShowEnsemble(std::optional<ensemble::Method> design) {
  if (ensemble_ == nullptr) ensemble_ = new TFmEnsemble(mainForm_.get());
  ensemble_->Open(design);
}

void ApplicationWindows::OpenEnsemblePlan(const std::string& fileName) {
  ShowEnsemble(std::nullopt);
  ensemble_->OpenPlanFile(fileName);
}

bool ApplicationWindows::CloseEnsemblePlan() {
  return ensemble_ == nullptr || ensemble_->ConfirmClose();
}

void ApplicationWindows::ShowCalibration() {
  if (calibration_ == nullptr)
    calibration_ = new TFmCalibrate([this](const std::string& plan) { OpenEnsemblePlan(plan); },
                                    mainForm_.get());
  calibration_->Open();
}

bool ApplicationWindows::CloseCalibrationPlan() {
  return calibration_ == nullptr || calibration_->ConfirmClose();
}

void ApplicationWindows::ShowProcessList() {
  data_->ShowProcess();
}

void ApplicationWindows::HideProcessList() {
  data_->HideProcessList();
}

bool ApplicationWindows::ProcessListShown() const {
  return data_->ProcessListShown();
}

}  // namespace kvsorv
