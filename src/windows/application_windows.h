#pragma once
// Every window of the desktop program, created once at start-up in their fixed order, the
// main window first; the others belong to it and live until it is destroyed.

#include <QDialog>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kvsorv {

class TMainForm;
class TFmAbout;
class TFmProgress;
class TFmTrouble;

class ApplicationWindows {
 public:
  // Creates the windows; the main window's creation performs the start-up steps with the
  // executable's path (its name selects the run mode).
  explicit ApplicationWindows(const std::string& executablePath);
  ~ApplicationWindows();
  ApplicationWindows(const ApplicationWindows&) = delete;
  ApplicationWindows& operator=(const ApplicationWindows&) = delete;

  TMainForm& MainForm() { return *mainForm_; }
  TFmProgress& Progress() { return *progress_; }
  TFmTrouble& Trouble() { return *trouble_; }
  TFmAbout& About() { return *about_; }
  // A window other than the main window by its name ("TFmParameter", ...).
  QDialog& Window(std::string_view name);

  // The windows in the order they were created.
  const std::vector<QWidget*>& CreationOrder() const { return created_; }

 private:
  QWidget* Create(std::string_view name, const std::string& executablePath);

  std::unique_ptr<TMainForm> mainForm_;
  TFmProgress* progress_ = nullptr;
  TFmTrouble* trouble_ = nullptr;
  TFmAbout* about_ = nullptr;
  std::vector<QWidget*> created_;
};

}  // namespace kvsorv
