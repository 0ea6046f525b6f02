#include "windows/application_windows.h"

#include <stdexcept>

#include "main_window/start_up.h"
#include "windows/about_window.h"
#include "windows/main_form.h"
#include "windows/pending_window.h"
#include "windows/progress_window.h"
#include "windows/trouble_window.h"

namespace kvsorv {

namespace {

// Titles of the windows this version does not have yet.
QString PendingTitle(std::string_view name) {
  if (name == "TFmCalculate") return "Steady State";
  if (name == "TDlgScale") return "Axis Scale";
  if (name == "TDlgReload") return "Reload";
  if (name == "TFmParameter") return "Parameters";
  if (name == "TDataForm") return "State Variables";
  if (name == "TFmNote") return "Driver File";
  if (name == "TFmDisplayData") return "Model Output";
  if (name == "TFmSeries") return "Series";
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

ApplicationWindows::ApplicationWindows(const std::string& executablePath) {
  for (const std::string_view name : kWindowCreationOrder)
    created_.push_back(Create(name, executablePath));
}

ApplicationWindows::~ApplicationWindows() = default;

QWidget* ApplicationWindows::Create(std::string_view name, const std::string& executablePath) {
  if (name == "TMainForm") {
    mainForm_ = std::make_unique<TMainForm>(executablePath, *this);
    return mainForm_.get();
  }
  QWidget* owner = mainForm_.get();
  if (name == "TFmAbout") return about_ = new TFmAbout(owner);
  if (name == "TFmTrouble") return trouble_ = new TFmTrouble(owner);
  if (name == "TFmProgress") return progress_ = new TFmProgress(owner);
  return new TPendingWindow(name, PendingTitle(name), owner);
}

QDialog& ApplicationWindows::Window(std::string_view name) {
  for (QWidget* w : created_) {
    if (w->objectName().toStdString() == name) {
      if (auto* dialog = qobject_cast<QDialog*>(w)) return *dialog;
    }
  }
  throw std::logic_error("no window named " + std::string(name));
}

}  // namespace kvsorv
