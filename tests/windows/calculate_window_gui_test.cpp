// The steady-state window as a researcher uses it on the example site: the light, entries
// committed by Enter or by leaving a field, failed solves, Cancel, the first save's question,
// the label mode, and the sensitivity mode.

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <string>

#include "files/param_file.h"
#include "gui_fixture.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "steady_state/steady_state_session.h"
#include "windows/steady_state/calculate_window.h"
#include "windows/steady_state/status_light.h"

namespace kvsorv {
namespace {

using testing::GuiTest;

class CalculateWindowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ChooseExampleSite();
    WaterCoefficient = 10.0;  // as after a run: the example site is steady then
    prompter.messages.clear();
  }

  // Opens the window from the Calculate menu, answers the offer to solve, and hands the
  // window to `use`; the window is closed afterwards if `use` left it open.
  void WithWindow(Answer solveNow, const std::function<void(TFmCalculate&)>& use) {
    prompter.QueueAnswer(solveNow);
    bool shown = false;
    OnNextModal([&](QWidget* modal) {
      QApplication::processEvents();  // the offer to solve comes once the window shows
      shown = true;
      use(*qobject_cast<TFmCalculate*>(modal));
    });
    form->findChild<QAction*>("MICalcSS")->trigger();
    ASSERT_TRUE(shown);
  }

  static QLineEdit* Edit(TFmCalculate& w, const char* name) { return Find<QLineEdit>(w, name); }
  static bool Green(TFmCalculate& w) { return Find<StatusLight>(w, "ShStatus")->IsGreen(); }
  static void Enter(QLineEdit* field, const std::string& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, QString::fromStdString(text));
    QTest::keyClick(field, Qt::Key_Return);
  }
};

TEST_F(CalculateWindowTest, SteadySiteOpensGreenAndSymbolsReplaceTheNames) {
  WithWindow(Answer::kNo, [&](TFmCalculate& w) {
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Calculate steady state now?");
    EXPECT_TRUE(Green(w));
    EXPECT_EQ(w.windowTitle(), "Calculate Steady State - Enter values for all underlined items");
    EXPECT_EQ(Find<QLabel>(w, "LblStateCf")->text(), "Foliage Carbon");
    EXPECT_TRUE(Find<QLabel>(w, "LblStateCf")->font().underline());
    EXPECT_FALSE(Find<QLabel>(w, "LblPar_aTCW")->font().underline());
    EXPECT_EQ(Edit(w, "MeStateCf")->text(), "200");
    EXPECT_FALSE(Edit(w, "MePar_Sc")->isEnabled());  // derived by the solver
    EXPECT_EQ(Edit(w, "MeStateCf")->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(Edit(w, "MePar_mf")->focusPolicy(), Qt::ClickFocus);  // out of the tab order

    Find<QRadioButton>(w, "RgLabelTypeSymbols")->click();
    EXPECT_EQ(Find<QLabel>(w, "LblStateCf")->text(), "Cf");
    EXPECT_EQ(Find<QLabel>(w, "LblStateCfUnits")->text(), "gC m-2ground");
    EXPECT_EQ(Find<QLabel>(w, "LblNPPf")->text(), "NPPf");
  });
}

TEST_F(CalculateWindowTest, LettersInPsAreRefusedAndStoreNothing) {
  WithWindow(Answer::kNo, [&](TFmCalculate& w) {
    const double ps = w.Session().Solver().WorkProcesses()[proc::Ps].value;
    Type(Edit(w, "MePs"), "abc");
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, "'abc' is not a valid floating point value");
    EXPECT_EQ(Edit(w, "MePs")->text(), "abc");  // kept until the next redisplay
    EXPECT_EQ(w.Session().Solver().WorkProcesses()[proc::Ps].value, ps);
    EXPECT_TRUE(Green(w));
  });
}

TEST_F(CalculateWindowTest, FailedSolveTurnsTheLightRedOnceAndDisablesTheNineBoxes) {
  WithWindow(Answer::kNo, [&](TFmCalculate& w) {
    ASSERT_TRUE(Green(w));
    Enter(Edit(w, "MePs"), "100");  // too little photosynthesis for the plant's respiration
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text.rfind(kSteadyStateFailedPrefix, 0), 0u);
    // Red beside the error, though the processes of the last good solve were steady.
    EXPECT_FALSE(Green(w));
    EXPECT_FALSE(Find<QGroupBox>(w, "GbState")->isEnabled());
    EXPECT_FALSE(Find<QGroupBox>(w, "GbStatus")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>(w, "GbGPP")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(w, "BtnCancel")->hasFocus());
    // Leaving the field after Enter does not solve again.
    Edit(w, "MePs")->setFocus();
    QTest::keyClick(Edit(w, "MePs"), Qt::Key_Tab);
    EXPECT_EQ(prompter.messages.size(), 2u);
  });
}

TEST_F(CalculateWindowTest, NegativeEntryTurnsItsFieldYellowAndTheLightRed) {
  WithWindow(Answer::kNo, [&](TFmCalculate& w) {
    Enter(Edit(w, "MePar_p"), "-1");  // no equation uses p: the rates stay steady
    EXPECT_EQ(Edit(w, "MePar_p")->text(), "-1");
    EXPECT_TRUE(Edit(w, "MePar_p")->property("invalid").toBool());
    EXPECT_EQ(Edit(w, "MePar_p")->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_FALSE(Green(w));
  });
}

TEST_F(CalculateWindowTest, CancelYesRestoresTheOpeningAndNoAdoptsTheResult) {
  const double cf = States[st::Cf].value;
  for (const Answer discard : {Answer::kYes, Answer::kNo}) {
    WithWindow(Answer::kNo, [&](TFmCalculate& w) {
      Enter(Edit(w, "MeStateCf"), "210");
      prompter.QueueAnswer(discard);
      QTest::keyClick(&w, Qt::Key_Escape);
      EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(prompter.messages.back().text,
              "Discard all changes made in this window since the last save?");
    EXPECT_EQ(States[st::Cf].value, discard == Answer::kYes ? cf : 210.0);
    States[st::Cf].value = cf;
  }
}

TEST_F(CalculateWindowTest, OnlyTheFirstSaveOfAnOpeningAsks) {
  WithWindow(Answer::kNo, [&](TFmCalculate& w) {
    Enter(Edit(w, "MeStateCf"), "210");
    prompter.messages.clear();
    Find<QPushButton>(w, "BtnSaveParamFile")->click();
    Find<QPushButton>(w, "BtnSaveParamFile")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Overwrite existing parameter file?");
  });
  EXPECT_NE(dir.Read("cell1.par").find("2.10000000000000E+0002"), std::string::npos);
}

TEST_F(CalculateWindowTest, SensitivityModeRaisesInvalidSteadyStateWithoutShowingTheWindow) {
  Start("sensitivity");
  ChooseExampleSite();  // outside interactive mode only the names are recorded
  double residual = 0.0;
  ReadParamFile(dir.File("cell1.par"), ModelDef.numparam, Params, ModelDef.numstate, States,
                residual);
  WaterCoefficient = 0.0;  // the loaded set is no steady state then
  prompter.messages.clear();
  form->findChild<QAction*>("MICalcSS")->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "Invalid Steady State");
  EXPECT_FALSE(Find<TFmCalculate>(*form, "TFmCalculate")->isVisible());
}

}  // namespace
}  // namespace kvsorv
