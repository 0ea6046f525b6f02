#pragma once
// The steady-state window: every quantity the calibration needs or produces, grouped by
// process area, with a status light. A thin view over SteadyStateSession: it shows the
// session's new set, hands every committed entry and button to it, and reads its judgement.

#include <QDialog>
#include <functional>
#include <map>
#include <vector>

#include "steady_state/steady_state_labels.h"
#include "steady_state/steady_state_session.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace kvsorv {

class StatusLight;

class TFmCalculate : public QDialog {
  Q_OBJECT
 public:
  // What the window uses of the program's other windows.
  struct Hooks {
    std::function<void()> saveParamFile;     // the main window's Save command
    std::function<void()> showProcessList;   // the state and process grid listing processes
    std::function<void()> hideProcessList;   // hides the grid if it is visible
    std::function<bool()> processListShown;  // the grid is visible and lists processes
  };

  explicit TFmCalculate(Hooks hooks, QWidget* parent = nullptr);
  // Stops following the application's focus before the fields go (see the constructor).
  ~TFmCalculate() override;

  // Opens the window modally from the program's state; returns the dialog's result. In
  // sensitivity and Monte Carlo mode the solve runs before the window shows, and a failure
  // (such as "Invalid Steady State") is passed on without showing it; a missing driver
  // file passes on too.
  int Open();

  const SteadyStateSession& Session() const { return session_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public slots:
  // Closing through the frame settles nothing.
  void reject() override;

 private:
  struct Row {
    const SteadyStateField* field = nullptr;
    QLineEdit* edit = nullptr;
    QLabel* name = nullptr;
    QLabel* units = nullptr;
    ComponentBinding editBinding;
    ComponentBinding nameBinding;
    ComponentBinding unitsBinding;
  };

  void BuildTopPanel();
  void BuildGroups();
  QGroupBox* BuildGroup(int group);
  void SetTabOrder();
  // Binds every label and field by its name and sets the captions in the label mode.
  void FormSetup();
  // Shows the new set, colours the fields, and sets the light and the nine boxes.
  void UpdateFormValues();
  void StoreValue(QLineEdit* edit);
  // Runs a session command that may fail, reporting a failure in an error box.
  bool Attempt(const std::function<void()>& command);
  void AskToSolve();
  void BtnOKClick();
  void BtnCancelClick();
  void BtnSaveParamFileClick();
  void BtnShowallProcClick();

  Hooks hooks_;
  SteadyStateSession session_;
  LabelMode labelMode_ = LabelMode::kNames;
  std::vector<Row> rows_;
  std::map<QObject*, Row*> rowOfEdit_;
  std::vector<QGroupBox*> groups_;  // in the order of SteadyStateGroups()
  QScrollArea* scroll_ = nullptr;
  QRadioButton* names_ = nullptr;
  QRadioButton* symbols_ = nullptr;
  QPushButton* BtnShowallProc = nullptr;
  QPushButton* BtnSaveParamFile = nullptr;
  QGroupBox* GbStatus = nullptr;
  StatusLight* ShStatus = nullptr;
  QLabel* LblStatusNote = nullptr;  // why the light is red where it does not say
  QPushButton* BtnOK = nullptr;
  QPushButton* BtnCancel = nullptr;
  bool committing_ = false;
};

}  // namespace kvsorv
