#pragma once
// The main window: the file and time fields, Run and Reload, and the menus that open every
// other window. It shows what the main window's commands decide and hands every user action
// to them.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <string>

#include "main_window/main_view.h"

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kvsorv {

class ApplicationWindows;
class ClickableLabel;
struct StartOptions;

class TMainForm : public QMainWindow, public MainView {
  Q_OBJECT
 public:
  // Creates the window and performs the program's start-up steps (FormCreate) with the
  // executable's path; `windows` gives the windows created after this one.
  TMainForm(const std::string& executablePath, ApplicationWindows& windows);

  // Applies file names and times given on the command line, as if typed.
  void ApplyStartOptions(const StartOptions& options);

  // MainView.
  void SetCaption(const std::string& caption) override;
  std::string FieldText(MainField field) const override;
  void SetFieldText(MainField field, const std::string& text) override;
  void EnterFieldText(MainField field, const std::string& text) override;
  bool FieldEdited(MainField field) const override;
  void EnableCommand(MainCommand command, bool enabled) override;
  bool ParamBoxFocused() const override;
  void FocusBackground() override;
  void SetMainWindowEnabled(bool enabled) override;
  void CloseMainWindow() override;
  ProgramWindows& Windows() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildFields(QWidget* background);
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                   const std::function<void()>& command);
  // Runs a command with the program's failure report; commands never run inside each other.
  void Command(const std::function<void()>& command);
  QLineEdit* Field(MainField field) const;

  // Controls, named as the commands know them.
  QLineEdit* ParamBox;
  QLineEdit* DriverBox;
  QLineEdit* OutputBox;
  QLineEdit* MEStartTime;
  QLineEdit* MEStopTime;
  QLineEdit* METimeStep;
  QLineEdit* PresentBox;
  QPushButton* BtnRun;
  QPushButton* BtnReload;

  QAction* MIParamFile;
  QAction* MIChooseParam;
  QAction* MISaveParam;
  QAction* MISaveAsParam;
  QAction* MIDriverFile;
  QAction* MIChooseDrv;
  QAction* MIEditDrv;
  QAction* MIOutputFile;
  QAction* MIExit;
  QAction* MIEditParam;
  QAction* MIEditStates;
  QAction* MIEditDrv2;
  QAction* MICalculate;
  QAction* MICalTime;
  QAction* MICalcSS;
  QAction* MIChart;
  QAction* MITable;
  QAction* MIViewOutFile;
  QAction* MIOutTimeStep;
  QAction* MIEnsemble;
  QAction* MIAgainstObservations;
  QAction* MIAbout;

  ApplicationWindows& windows_;
  QWidget* background_ = nullptr;
  // What leaving each edit field runs.
  std::map<QObject*, std::function<void()>> exitCommands_;
  QObject* leaving_ = nullptr;  // the field whose leaving is being handled
  QPointer<QWidget> focusBeforeDisabling_;
  bool busy_ = false;
  bool inCloseEvent_ = false;
  bool closeApproved_ = false;
  bool runInProgress_ = false;  // between disabling for a run and enabling after it
};

}  // namespace kvsorv
