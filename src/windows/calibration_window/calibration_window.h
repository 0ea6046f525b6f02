#pragma once
// TFmCalibrate: the calibration window, a view over a CalibrationSession. On the left the plan
// (the calibrated parameters with their priors, the observation files and their table, the
// sampler's settings); on the right the run (Fit, Run, Stop, Resume and the progress line),
// the charts of the chains so far (trace, marginals, pairs, fit), the verdict, and the two
// commands that carry the posterior on. A timer takes in the session's state on the
// user-interface thread while a run goes on.

#include <QWidget>
#include <functional>
#include <string>

#include "calibration_window/calibration_session.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace kvsorv {

class TFmCalibrate : public QWidget {
  Q_OBJECT
 public:
  // `openEnsemble` opens an ensemble plan in the ensemble window.
  explicit TFmCalibrate(std::function<void(const std::string&)> openEnsemble,
                        QWidget* owner = nullptr);
  ~TFmCalibrate() override;

  void Open();
  void OpenPlanFile(const std::string& fileName);
  bool ConfirmClose();
  // Takes in the session's progress, chains and verdict; the timer calls it while a run goes
  // on, and it ends a run that has finished.
  void Refresh();

  const calibration::CalibrationSession& Session() const { return session_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildPlanSide();
  QWidget* BuildRunSide();
  void Connect();
  void ShowPlan();
  void ShowObservations();
  void PriorEdited(int row);
  void SettingsEdited();
  void AddObservations();
  void Start(calibration::Job job, bool resume);
  void EnableCommands();
  void DrawCharts(bool withFit);
  void DrawFit();
  void Replace(QChartView* view, QChart* chart);

  calibration::CalibrationSession session_;
  bool showing_ = false;  // the widgets are being filled from the session
  bool ran_ = false;      // a run was started and not yet taken in at its end
  std::size_t drawnGenerations_ = 0;

  QLabel* LblPlanFile = nullptr;
  QPushButton* BtnNewPlan = nullptr;
  QPushButton* BtnOpenPlan = nullptr;
  QPushButton* BtnSavePlan = nullptr;
  QTableWidget* GrdPriors = nullptr;
  QPushButton* BtnAddParameter = nullptr;
  QPushButton* BtnRemoveParameter = nullptr;
  QLabel* LblObservationFiles = nullptr;
  QPushButton* BtnAddObservations = nullptr;
  QComboBox* CbErrorModel = nullptr;
  QTableWidget* GrdObservations = nullptr;
  QLabel* LblObservationProblem = nullptr;
  QComboBox* CbMethod = nullptr;
  QSpinBox* EdChains = nullptr;
  QSpinBox* EdGenerations = nullptr;
  QSpinBox* EdBurnIn = nullptr;
  QSpinBox* EdThinning = nullptr;
  QPushButton* BtnFit = nullptr;
  QPushButton* BtnRun = nullptr;
  QPushButton* BtnStop = nullptr;
  QPushButton* BtnResume = nullptr;
  QPushButton* BtnContinue = nullptr;
  QLabel* LblProgress = nullptr;
  QTabWidget* TabCharts = nullptr;
  QComboBox* CbQuantity = nullptr;
  QComboBox* CbPairWith = nullptr;
  QComboBox* CbOutput = nullptr;
  QChartView* ChTrace = nullptr;
  QChartView* ChMarginal = nullptr;
  QChartView* ChPairs = nullptr;
  QChartView* ChFit = nullptr;
  QLabel* LblVerdict = nullptr;
  QPushButton* BtnToEnsemble = nullptr;
  QPushButton* BtnWriteMode = nullptr;
  QTimer* TmRefresh = nullptr;
};

}  // namespace kvsorv
