#pragma once
// The ensemble window: the plan's varied parameters and their rank correlations as tables,
// its members, seed and design method with the members Run makes; Open plan, Save plan, Run,
// Stop and Resume; a progress bar with members done, failures, rate and time left; and the
// charts of the members finished so far (the envelope of the chosen output filling in during
// the run, then, at a chosen time, the tornado, Sobol indices with their intervals, their
// convergence, Morris effects and failures), each exported as a picture with its values. A
// plan opened again shows what its results file holds, and Resume goes on with it. A thin
// view over EnsembleSession; it runs without blocking the other windows.

#include <QWidget>
#include <optional>

#include "ensemble/sampling.h"
#include "ensemble_window/ensemble_session.h"

class QChart;
class QChartView;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTimer;

namespace kvsorv {

class CorrelationTableModel;
class PlanTableModel;

class TFmEnsemble : public QWidget {
  Q_OBJECT
 public:
  explicit TFmEnsemble(QWidget* owner = nullptr);
  ~TFmEnsemble() override;

  // Shows the window (raised), with the design method preset when given.
  void Open(std::optional<ensemble::Method> design);
  // Opens a plan (and what its results file holds), as Open plan does.
  void OpenPlanFile(const std::string& fileName);
  // Asks about an unsaved plan before the program ends; false when the user cancels.
  bool ConfirmClose();

  const ensemble::EnsembleSession& Session() const { return session_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  // The plan's side: its commands, design settings, parameter table and correlations.
  QWidget* BuildPlanSide();
  QHBoxLayout* BuildPlanBar();
  QGridLayout* BuildDesignSettings();
  void BuildPlanTable();
  QHBoxLayout* BuildCorrelations();
  // The charts' side: the output and time shown, the export and the chart tabs.
  QWidget* BuildChartSide();
  void BuildChartTabs();
  QHBoxLayout* BuildRunControls();
  void BuildRedrawTimer();
  void ConnectPlanCommands();
  void ConnectCorrelations();
  void ConnectDesignSettings();
  void ConnectRunControls();
  void ConnectCharts();
  void OpenPlan();
  void SavePlan();
  void Start(bool resume);
  // The plan's fields and table from the session.
  void ShowPlan();
  void ShowProgress(const ensemble::RunProgress& progress);
  void EnableCommands();
  // Called on the user-interface thread after members finished.
  void MembersFinished();
  void DrawEnvelope();
  void DrawFigures();
  void FillOutputs();
  void FillTimes();
  // The figures after a plan was opened: those of the members its results file holds.
  void ShowResults();
  void ExportChart();
  void Replace(QChartView* view, QChart* chart);
  std::optional<std::size_t> ChosenTime() const;

  ensemble::EnsembleSession session_;
  PlanTableModel* model_ = nullptr;
  CorrelationTableModel* correlations_ = nullptr;
  QTableView* GrdPlan = nullptr;
  QTableView* GrdCorrelations = nullptr;
  QPushButton* BtnAddCorrelation = nullptr;
  QPushButton* BtnRemoveCorrelation = nullptr;
  QLabel* LblMembers = nullptr;
  QLabel* LblDesignSize = nullptr;
  QLabel* LblResultsNote = nullptr;
  QComboBox* CbTime = nullptr;
  QPushButton* BtnExportChart = nullptr;
  QPushButton* BtnOpenPlan = nullptr;
  QPushButton* BtnSavePlan = nullptr;
  QPushButton* BtnAddParameter = nullptr;
  QPushButton* BtnRemoveParameter = nullptr;
  QSpinBox* EdMembers = nullptr;
  QLineEdit* EdSeed = nullptr;
  QComboBox* CbMethod = nullptr;
  QLabel* LblPlanFile = nullptr;
  QLabel* LblOutputs = nullptr;
  QPushButton* BtnRun = nullptr;
  QPushButton* BtnStop = nullptr;
  QPushButton* BtnResume = nullptr;
  QProgressBar* PbMembers = nullptr;
  QLabel* LblProgress = nullptr;
  QComboBox* CbOutput = nullptr;
  QTabWidget* TabCharts = nullptr;
  QChartView* ChEnvelope = nullptr;
  QChartView* ChTornado = nullptr;
  QChartView* ChSobol = nullptr;
  QChartView* ChConvergence = nullptr;
  QChartView* ChMorris = nullptr;
  QChartView* ChFailures = nullptr;
  QChartView* ChFailurePredictors = nullptr;
  QTimer* redraw_ = nullptr;  // the envelope, at most a few times a second during a run
  bool envelopeStale_ = false;
  bool wasRunning_ = false;
};

}  // namespace kvsorv
