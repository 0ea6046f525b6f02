#include "main_window/run_command.h"

#include "files/number_text.h"
#include "main_window/file_commands.h"
#include "main_window/main_form_update.h"
#include "program/prompter.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"
#include "run/run_observer.h"
#include "program_run/simulation_run.h"
#include "tasks/feedback.h"

namespace kvsorv {

namespace {

// Tells the main window and its progress and trouble windows how the run goes.
class WindowRunObserver : public RunObserver {
 public:
  explicit WindowRunObserver(MainView& view) : view_(view) {}

  void RunStarting() override {
    running_ = true;
    view_.Windows().ShowProgress();
    view_.SetMainWindowEnabled(false);
  }
  void RunCompleted() override {
    running_ = false;
    UpdateMainForm(view_);
    view_.SetMainWindowEnabled(true);
    view_.SetFieldText(MainField::kPresentBox, FormatGeneral(RunSettings.PresentTime, 5));
    view_.Windows().HideProgress();
  }
  void RunFailed(const std::string& message) override { view_.Windows().ShowTrouble(message); }
  void RunAborted() override { Restore(); }

  // Enables the main window and hides the progress window if the run left them otherwise.
  void Restore() {
    if (!running_) return;
    running_ = false;
    view_.SetMainWindowEnabled(true);
    view_.Windows().HideProgress();
  }

 private:
  MainView& view_;
  bool running_ = false;
};

}  // namespace

bool BtnRunClick(MainView& view) {
  if (RunSettings.OutputFileName.empty()) {
    AskForOutputFile(view, view.FieldText(MainField::kOutputBox));
    if (RunSettings.OutputFileName.empty()) return false;
  }
  if (!TimeStepAdvancesClock(RunSettings)) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, kTimeStepTooSmallMessage);
    return false;
  }
  // Only an interactive run shows its progress, disables the main window and refreshes it.
  if (!RunModes.InteractiveMode) {
    RunObserver silent;
    return ExecuteRun(silent);
  }
  WindowRunObserver observer(view);
  // Whatever way the run ends, the main window must not stay disabled.
  struct RestoreOnExit {
    WindowRunObserver& observer;
    ~RestoreOnExit() { observer.Restore(); }
  } restore{observer};
  // The run's whole percent done moves the progress window's bar.
  Feedback feedback;
  feedback.OnProgress(
      [&view](const FeedbackProgress& p) { view.Windows().SetProgress(static_cast<int>(p.done)); });
  return ExecuteRun(observer, &feedback);
}

}  // namespace kvsorv
