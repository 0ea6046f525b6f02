// The calibration window's wiring: the main window's menu opens it, a plan opened fills its
// tables, a short run fills the trace and the verdict, Stop leaves the chains resumable, and
// the posterior goes on to the ensemble window.

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

#include "ensemble_window/plan_writer.h"
#include "gui_fixture.h"
#include "tasks/feedback.h"
#include "windows/calibration_window/calibration_window.h"
#include "windows/ensemble_window/ensemble_window.h"

namespace kvsorv::testing {
namespace {

class CalibrationWindowGuiTest : public GuiTest {
 protected:
  // A short calibration of two parameters of the example site.
  std::string Plan(int generations) {
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) Example(f);
    dir.Write("observations.csv",
              "time,output,value,relative_error\n1605,Cf,190,0.05\n1610,Cf,195,0.05\n"
              "1620,Cf,200,0.05\n");
    dir.Write("plan.toml",
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\n"
              "step = 1\nseed = 5\n"
              "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 64\nmax = 96\n"
              "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"uniform\"\nmin = 0.2\n"
              "max = 0.3\n"
              "[[observations]]\nfile = \"observations.csv\"\nerror = \"lognormal\"\n"
              "[sampler]\nchains = 4\ngenerations = " +
                  std::to_string(generations) + "\nburn_in = " + std::to_string(generations / 2) +
                  "\n");
    return dir.File("plan.toml");
  }

  TFmCalibrate* OpenFromMenu() {
    Find<QAction>(*form, "MIAgainstObservations")->trigger();
    TFmCalibrate* window = windows->Calibration();
    EXPECT_NE(window, nullptr);
    return window;
  }

  // Waits for the window's run to end, then lets the window take it in.
  static void WaitForTheRun(TFmCalibrate& window) {
    const std::shared_ptr<Feedback> feedback = window.Session().RunFeedback();
    ASSERT_NE(feedback, nullptr);
    feedback->WaitFinished();
    window.Refresh();
  }

  static bool Enabled(const TFmCalibrate& w, const char* name) {
    return Find<QPushButton>(w, name)->isEnabled();
  }
};

TEST_F(CalibrationWindowGuiTest, PlanOpened_FillsTheTablesAndEnablesTheRun) {
  TFmCalibrate* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  window->OpenPlanFile(Plan(20));
  EXPECT_EQ(Find<QTableWidget>(*window, "GrdPriors")->rowCount(), 2);
  EXPECT_EQ(Find<QTableWidget>(*window, "GrdObservations")->rowCount(), 3);
  EXPECT_TRUE(Find<QLabel>(*window, "LblObservationProblem")->text().isEmpty());
  struct Case {
    const char* button;
    bool enabled;
  };
  for (const Case& c :
       {Case{"BtnFit", true}, Case{"BtnRun", true}, Case{"BtnStop", false},
        Case{"BtnResume", false}, Case{"BtnToEnsemble", false}, Case{"BtnWriteMode", false}})
    EXPECT_EQ(Enabled(*window, c.button), c.enabled) << c.button;
}

TEST_F(CalibrationWindowGuiTest, RunStoppedThenResumed_FillsTheTraceAndTheVerdict) {
  TFmCalibrate* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  window->OpenPlanFile(Plan(30));
  Find<QPushButton>(*window, "BtnRun")->click();
  const std::shared_ptr<Feedback> feedback = window->Session().RunFeedback();
  ASSERT_NE(feedback, nullptr);
  feedback->OnProgress([&](const FeedbackProgress& p) {
    if (p.done >= 4) feedback->Cancel();
  });
  EXPECT_FALSE(Enabled(*window, "BtnRun"));
  WaitForTheRun(*window);
  ASSERT_TRUE(prompter.messages.empty()) << prompter.messages.back().text;
  EXPECT_TRUE(Enabled(*window, "BtnResume"));
  EXPECT_TRUE(Enabled(*window, "BtnRun"));
  EXPECT_TRUE(Find<QLabel>(*window, "LblProgress")->text().startsWith("Stopped: "))
      << Find<QLabel>(*window, "LblProgress")->text().toStdString();
  // The trace shows a series per chain (and the end of the burn-in).
  EXPECT_GE(Find<QChartView>(*window, "ChTrace")->chart()->series().size(), 4);

  Find<QPushButton>(*window, "BtnResume")->click();
  WaitForTheRun(*window);
  EXPECT_FALSE(Enabled(*window, "BtnResume"));
  EXPECT_EQ(window->Session().Chains()->generations, 30u);
  const QString verdict = Find<QLabel>(*window, "LblVerdict")->text();
  EXPECT_TRUE(verdict.startsWith("Converged.") || verdict.startsWith("Not converged."))
      << verdict.toStdString();
  EXPECT_TRUE(verdict.contains("mf") && verdict.contains("rg"));
  EXPECT_GT(Find<QChartView>(*window, "ChFit")->chart()->series().size(), 1);

  Find<QPushButton>(*window, "BtnToEnsemble")->click();
  ASSERT_NE(windows->Ensemble(), nullptr);
  EXPECT_TRUE(windows->Ensemble()->isVisible());
  EXPECT_EQ(windows->Ensemble()->Session().PlanFile(), dir.File("plan.posterior.toml"));
  EXPECT_EQ(windows->Ensemble()->Session().Rows().size(), 2u);
  // The plan keeps drawing whole posterior draws: by Monte Carlo, and so when saved again.
  EXPECT_EQ(windows->Ensemble()->Session().DesignMethod(), ensemble::Method::kMonteCarlo);
  const std::string text = ensemble::PlanText(windows->Ensemble()->Session().EditedPlan(),
                                              dir.File("plan.posterior.toml"));
  EXPECT_NE(text.find("posterior = \"plan.chains.nc\""), std::string::npos) << text;
  EXPECT_EQ(text.find("[[parameter]]"), std::string::npos) << text;
}

}  // namespace
}  // namespace kvsorv::testing
