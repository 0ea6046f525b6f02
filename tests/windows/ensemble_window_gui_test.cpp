// The ensemble window's wiring: the main window's menu opens it, the run modes open it with
// their design, Run then Stop leaves the results resumable, and the envelope fills in.

#include <QAbstractButton>
#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <map>
#include <memory>

#include "gui_fixture.h"
#include "tasks/feedback.h"
#include "windows/ensemble_window/ensemble_window.h"

namespace kvsorv::testing {
namespace {

class EnsembleWindowGuiTest : public GuiTest {
 protected:
  // A plan of short members of the example site.
  std::string Plan(int members) {
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) Example(f);
    dir.Write("plan.toml",
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1640\n"
              "members = " +
                  std::to_string(members) +
                  "\nseed = 5\n"
                  "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 70\n"
                  "max = 90\n"
                  "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"normal\"\nmean = 2\n"
                  "sd = 0.2\n"
                  "[[output]]\nsymbol = \"NEP\"\nyearly = true\n");
    return dir.File("plan.toml");
  }

  // Waits for the window's run to end, then lets the window take in what the run told it.
  static void WaitForTheRun(TFmEnsemble& window) {
    const std::shared_ptr<Feedback> feedback = window.Session().RunFeedback();
    ASSERT_NE(feedback, nullptr);
    feedback->WaitFinished();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }

  TFmEnsemble* OpenFromMenu() {
    Find<QAction>(*form, "MIEnsemble")->trigger();
    TFmEnsemble* window = windows->Ensemble();
    EXPECT_NE(window, nullptr);
    return window;
  }
};

TEST_F(EnsembleWindowGuiTest, MenuItem_OpensTheWindow) {
  EXPECT_EQ(windows->Ensemble(), nullptr);  // interactive mode opens nothing at start-up
  TFmEnsemble* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(Find<QPushButton>(*window, "BtnRun")->isEnabled());  // no plan yet
  EXPECT_FALSE(Find<QPushButton>(*window, "BtnResume")->isEnabled());
}

TEST_F(EnsembleWindowGuiTest, Mnemonics_EachLetterReachesOneControl) {
  TFmEnsemble* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  std::map<QChar, QString> taken;
  const auto take = [&](const QString& text) {
    const qsizetype at = text.indexOf(QRegularExpression("&[^&]"));
    if (at < 0) return;
    const QChar letter = text.at(at + 1).toLower();
    EXPECT_EQ(taken.count(letter), 0u)
        << "Alt+" << QString(letter).toStdString() << ": " << text.toStdString() << " and "
        << taken[letter].toStdString();
    taken.emplace(letter, text);
  };
  for (const QAbstractButton* b : window->findChildren<QAbstractButton*>()) take(b->text());
  for (const QLabel* l : window->findChildren<QLabel*>())
    if (l->buddy() != nullptr) take(l->text());
  for (const QTabWidget* tabs : window->findChildren<QTabWidget*>())
    for (int i = 0; i < tabs->count(); ++i) take(tabs->tabText(i));
}

TEST_F(EnsembleWindowGuiTest, RunModes_OpenTheWindowWithTheirDesign) {
  struct Case {
    const char* program;
    ensemble::Method design;
  };
  for (const Case& c : {Case{"sensitivity", ensemble::Method::kSobol},
                        Case{"montecarlo", ensemble::Method::kLatinHypercube}}) {
    Start(c.program);
    ASSERT_NE(windows->Ensemble(), nullptr) << c.program;
    EXPECT_TRUE(windows->Ensemble()->isVisible()) << c.program;
    EXPECT_EQ(windows->Ensemble()->Session().DesignMethod(), c.design) << c.program;
    EXPECT_TRUE(RunModes.SensitivityMode || RunModes.MonteCarloMode);
  }
}

TEST_F(EnsembleWindowGuiTest, RunThenStop_EnablesResumeAndTheEnvelopeFillsIn) {
  TFmEnsemble* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  prompter.QueueFile(Plan(60));
  QTest::mouseClick(Find<QPushButton>(*window, "BtnOpenPlan"), Qt::LeftButton);
  EXPECT_EQ(Find<QTableView>(*window, "GrdPlan")->model()->rowCount(), 2);
  auto* run = Find<QPushButton>(*window, "BtnRun");
  auto* stop = Find<QPushButton>(*window, "BtnStop");
  auto* resume = Find<QPushButton>(*window, "BtnResume");
  ASSERT_TRUE(run->isEnabled());

  QTest::mouseClick(run, Qt::LeftButton);
  EXPECT_TRUE(stop->isEnabled());
  EXPECT_FALSE(run->isEnabled());
  QTest::mouseClick(stop, Qt::LeftButton);
  WaitForTheRun(*window);
  EXPECT_TRUE(run->isEnabled());
  EXPECT_TRUE(resume->isEnabled());
  EXPECT_FALSE(stop->isEnabled());

  QTest::mouseClick(resume, Qt::LeftButton);
  WaitForTheRun(*window);
  EXPECT_TRUE(run->isEnabled());
  EXPECT_FALSE(resume->isEnabled());
  EXPECT_TRUE(Find<QLabel>(*window, "LblProgress")->text().startsWith("60 of 60 members, "))
      << Find<QLabel>(*window, "LblProgress")->text().toStdString();
  EXPECT_EQ(Find<QComboBox>(*window, "CbOutput")->currentText(), "NEP");
  EXPECT_GE(Find<QChartView>(*window, "ChEnvelope")->chart()->series().size(), 4);
  EXPECT_GE(Find<QChartView>(*window, "ChTornado")->chart()->series().size(), 1);
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;
}

TEST_F(EnsembleWindowGuiTest, StoppedRunReopenedAfterARestart_ResumesAndExportsItsChart) {
  TFmEnsemble* window = OpenFromMenu();
  ASSERT_NE(window, nullptr);
  const std::string plan = Plan(400);
  prompter.QueueFile(plan);
  QTest::mouseClick(Find<QPushButton>(*window, "BtnOpenPlan"), Qt::LeftButton);
  EXPECT_EQ(Find<QLabel>(*window, "LblDesignSize")->text(), "Run makes 400 members.");
  QTest::mouseClick(Find<QPushButton>(*window, "BtnRun"), Qt::LeftButton);
  // Stopped with some members finished and most not, however busy the machine is: the run's
  // feedback is canceled once a member has finished.
  const std::shared_ptr<Feedback> feedback = window->Session().RunFeedback();
  ASSERT_NE(feedback, nullptr);
  feedback->OnProgress([run = feedback.get()](const FeedbackProgress& p) {
    if (p.done >= 1) run->Cancel();
  });
  if (feedback->Progress().done >= 1) feedback->Cancel();  // one finished before the listener
  WaitForTheRun(*window);
  EXPECT_TRUE(Find<QPushButton>(*window, "BtnRun")->isEnabled());
  const QString stopped = Find<QLabel>(*window, "LblProgress")->text();
  EXPECT_TRUE(stopped.startsWith("Stopped: ")) << stopped.toStdString();

  Start("kvsorv");  // the program closed and started again
  windows->OpenEnsemblePlan(plan);
  window = windows->Ensemble();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Find<QPushButton>(*window, "BtnResume")->isEnabled());
  EXPECT_GT(Find<QComboBox>(*window, "CbTime")->count(), 0);
  EXPECT_TRUE(Find<QPushButton>(*window, "BtnExportChart")->isEnabled());

  QTest::mouseClick(Find<QPushButton>(*window, "BtnResume"), Qt::LeftButton);
  WaitForTheRun(*window);
  EXPECT_TRUE(Find<QPushButton>(*window, "BtnRun")->isEnabled());
  EXPECT_TRUE(Find<QLabel>(*window, "LblProgress")->text().startsWith("400 of 400 members, "));
  prompter.QueueFile(dir.File("fig.png"));
  QTest::mouseClick(Find<QPushButton>(*window, "BtnExportChart"), Qt::LeftButton);
  EXPECT_TRUE(std::filesystem::exists(dir.File("fig.png")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("fig-data.csv")));
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;
}

}  // namespace
}  // namespace kvsorv::testing
