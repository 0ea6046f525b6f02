// The main window as a user meets it: its controls and menus, the enabling as files and
// times are typed, the questions it asks, and runs with their progress and trouble windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "main_window/start_up.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "windows/auxiliary/progress_window.h"
#include "windows/auxiliary/trouble_window.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;
using testing::GuiTest;

class MainFormTest : public GuiTest {
 protected:
  QAction* Item(const char* name) const {
    auto* item = form->findChild<QAction*>(name);
    EXPECT_NE(item, nullptr) << name;
    return item;
  }
};

TEST_F(MainFormTest, EveryWindowIsCreatedOnceInOrder) {
  std::vector<std::string> names;
  for (QWidget* w : windows->CreationOrder()) {
    names.push_back(w->objectName().toStdString());
    if (w != form) {
      EXPECT_FALSE(w->isVisible()) << names.back();
    }
  }
  EXPECT_EQ(names,
            std::vector<std::string>(kWindowCreationOrder.begin(), kWindowCreationOrder.end()));
  EXPECT_STREQ(windows->CreationOrder()[0]->metaObject()->className(), "kvsorv::TMainForm");
  EXPECT_STREQ(windows->Progress().metaObject()->className(), "kvsorv::TFmProgress");
  EXPECT_EQ(form->windowTitle(), "KVS ORV");
  EXPECT_TRUE(RunModes.InteractiveMode);
}

TEST_F(MainFormTest, RunModeComesFromTheExecutableName) {
  struct Case {
    const char* path;
    TRunModes expected;
  };
  const Case cases[] = {
      {"/usr/local/bin/modelbatch", {true, false, false, false}},
      {"/usr/local/bin/MODELBATCH.EXE", {true, false, false, false}},
      {"modelbatch.2024.exe", {true, false, false, false}},
      {"/usr/local/bin/sensitivity", {false, true, false, false}},
      {"/usr/local/bin/montecarlo", {false, false, true, false}},
      {"/usr/local/bin/kvsorv", {false, false, false, true}},
  };
  for (const Case& c : cases) {
    Start(c.path);
    EXPECT_EQ(RunModes, c.expected) << c.path;
  }
}

TEST_F(MainFormTest, MenusAsTabled) {
  struct Row {
    const char* name;
    const char* caption;
    bool enabled;
  };
  const Row rows[] = {
      {"MIParamFile", "&Parameter File", true},
      {"MIChooseParam", "&Choose...", true},
      {"MISaveParam", "&Save...", false},
      {"MISaveAsParam", "Save &As", true},
      {"MIDriverFile", "&Driver File", true},
      {"MIChooseDrv", "&Choose...", true},
      {"MIEditDrv", "&Edit...", true},
      {"MIOutputFile", "&Output File", true},
      {"MIExit", "E&xit", true},
      {"MIEditParam", "&Parameters", true},
      {"MIEditStates", "&State Variables", true},
      {"MIEditDrv2", "&Drivers", true},
      {"MICalculate", "&Calculate", false},
      {"MICalTime", "&At Time", true},
      {"MICalcSS", "&Steady State", true},
      {"MIChart", "&Chart", false},
      {"MITable", "Ta&ble", false},
      {"MIViewOutFile", "From &File", true},
      {"MIOutTimeStep", "&Time Step", true},
      {"MIEnsemble", "&Plan and Run...", true},
      {"MIAgainstObservations", "Against &Observations...", true},
      {"MIAbout", "&About", true},
  };
  for (const Row& r : rows) {
    QAction* item = Item(r.name);
    if (item == nullptr) continue;
    EXPECT_EQ(item->text().toStdString(), r.caption) << r.name;
    EXPECT_EQ(item->isEnabled(), r.enabled) << r.name;
  }
  EXPECT_EQ(Item("MISaveParam")->shortcut(), QKeySequence("Ctrl+S"));
  QStringList top;
  for (QAction* a : form->menuBar()->actions()) top << a->text();
  EXPECT_EQ(top, (QStringList{"&Files", "&Edit", "&Calculate", "&Output", "E&nsemble", "Cali&brate",
                              "&About"}));
}

TEST_F(MainFormTest, FieldsLabelsAndButtonsAsTabled) {
  struct Labelled {
    const char* label;
    const char* caption;
    QLineEdit* field;
    const char* text;
  };
  const Labelled rows[] = {
      {"LblParamFile", "&Parameter File", Find<QLineEdit>(*form, "ParamBox"), ""},
      {"LblDriverFile", "&Driver File", Find<QLineEdit>(*form, "DriverBox"), ""},
      {"LblOutputFile", "O&utput File", Find<QLineEdit>(*form, "OutputBox"), ""},
      {"LblStartTime", "&Start Time", Find<QLineEdit>(*form, "MEStartTime"), "0"},
      {"LblStopTime", "S&top Time", Find<QLineEdit>(*form, "MEStopTime"), "2"},
      {"LblTimeStep", "Ti&me Step", Find<QLineEdit>(*form, "METimeStep"), "1"},
  };
  for (const Labelled& r : rows) {
    auto* label = form->findChild<QLabel*>(r.label);
    ASSERT_NE(label, nullptr) << r.label;
    EXPECT_EQ(label->text().toStdString(), r.caption);
    EXPECT_EQ(label->buddy(), r.field) << r.label;
    EXPECT_EQ(r.field->text().toStdString(), r.text) << r.label;
  }
  EXPECT_EQ(Find<QLineEdit>(*form, "MEStartTime")->property("editMask").toString(), "99999;0; ");
  EXPECT_EQ(Find<QLineEdit>(*form, "METimeStep")->property("editMask").toString(), "ccccc;0; ");
  EXPECT_EQ(Find<QLineEdit>(*form, "METimeStep")->maxLength(), 5);
  EXPECT_EQ(Find<QLineEdit>(*form, "PresentBox")->text(), "0");
  EXPECT_FALSE(Find<QLineEdit>(*form, "PresentBox")->isEnabled());
  EXPECT_EQ(Find<QPushButton>(*form, "BtnRun")->text(), "&Run");
  EXPECT_FALSE(Find<QPushButton>(*form, "BtnRun")->isEnabled());
  EXPECT_EQ(Find<QPushButton>(*form, "BtnReload")->text(), "Re&load");
  EXPECT_TRUE(Find<QPushButton>(*form, "BtnReload")->isEnabled());

  // The start and stop fields take up to five digits, the time step five characters.
  Type(Find<QLineEdit>(*form, "MEStopTime"), "12a345678");
  EXPECT_EQ(Find<QLineEdit>(*form, "MEStopTime")->text(), "12345");
  Type(Find<QLineEdit>(*form, "METimeStep"), "1e-2xyz");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "'1e-2x' is not a valid floating point value");
  EXPECT_EQ(Find<QLineEdit>(*form, "METimeStep")->text(),
            "1");  // the refused text gives way to the step in use
}

TEST_F(MainFormTest, TypingTheFilesEnablesCalculateThenRun) {
  Type(Find<QLineEdit>(*form, "MEStopTime"),
       "0");  // stop not above start; Tab goes on to the time step field
  ChooseExampleSite();
  // Leaving the time step field checked the output step against the run of length 0.
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "Output time step is greater than run length. Output time step decreased to run "
            "length.");
  EXPECT_TRUE(Item("MICalculate")->isEnabled());
  EXPECT_TRUE(Item("MISaveParam")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(*form, "BtnRun")->isEnabled());
  Type(Find<QLineEdit>(*form, "MEStopTime"), "2");
  EXPECT_TRUE(Find<QPushButton>(*form, "BtnRun")->isEnabled());
  EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST_F(MainFormTest, MissingFilesAreCreatedAndARejectedParamFileIsReported) {
  Type(Find<QLineEdit>(*form, "ParamBox"), dir.File("fresh.par"));
  Type(Find<QLineEdit>(*form, "DriverBox"), dir.File("cell4.drr"));
  EXPECT_TRUE(fs::exists(dir.File("fresh.par")));
  EXPECT_TRUE(fs::exists(dir.File("cell4.drr")));
  EXPECT_TRUE(RunSettings.NewParamFile && RunSettings.NewDriverFile);

  dir.Write("alien.par", "SOME OTHER MODEL     9\r\n");
  Type(Find<QLineEdit>(*form, "ParamBox"), dir.File("alien.par"));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "The parameter file selected is not compatible with this model. No parameters read.");
  EXPECT_EQ(Find<QLineEdit>(*form, "ParamBox")->text().toStdString(), dir.File("alien.par"));
  EXPECT_TRUE(RunSettings.ParamFileName.empty());
}

TEST_F(MainFormTest, LabelsAndMenuItemsOpenTheFileDialogs) {
  auto* label = form->findChild<QLabel*>("LblDriverFile");
  prompter.QueueFile(Example("cell1.drr"));
  QTest::mouseClick(label, Qt::LeftButton);
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].title, "Open Driver File");
  EXPECT_EQ(Find<QLineEdit>(*form, "DriverBox")->text().toStdString(), dir.File("cell1.drr"));

  Item("MIChooseParam")->trigger();
  Item("MIOutputFile")->trigger();
  ASSERT_EQ(prompter.fileRequests.size(), 3u);
  EXPECT_EQ(prompter.fileRequests[1].title, "Choose Parameter File");
  EXPECT_EQ(prompter.fileRequests[2].title, "Save Output File as");

  // Clicking a time field's label focuses the field.
  QTest::mouseClick(form->findChild<QLabel*>("LblTimeStep"), Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(*form, "METimeStep"));
}

TEST_F(MainFormTest, OutputStepRepairs) {
  // A time step of 2 leaves the output step of 1 too small.
  Type(Find<QLineEdit>(*form, "MEStopTime"), "10");
  Type(Find<QLineEdit>(*form, "METimeStep"), "2");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "Output time step is less than simulation time step. Output time step increased to "
            "time step.");
  EXPECT_EQ(RunSettings.OutputStep, 2.0);

  prompter.QueueInput("0");
  prompter.QueueInput("12");
  Item("MIOutTimeStep")->trigger();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[1].text,
            "Output time step is greater than run length. Output time step decreased to run "
            "length.");
  EXPECT_EQ(RunSettings.OutputStep, 10.0);
  EXPECT_EQ(prompter.inputPrompts.size(), 2u);
}

TEST_F(MainFormTest, OverwriteNoThenRunAsksForAnOutputFile) {
  ChooseExampleSite();
  dir.Write("old.out", "keep me");
  prompter.QueueAnswer(Answer::kNo);
  Type(Find<QLineEdit>(*form, "OutputBox"), dir.File("old.out"));
  EXPECT_EQ(prompter.messages.back().text,
            "Overwrite existing output file, " + dir.File("old.out") + "?");
  EXPECT_TRUE(RunSettings.OutputFileName.empty());
  ASSERT_TRUE(Find<QPushButton>(*form, "BtnRun")->isEnabled());

  prompter.QueueFile(std::nullopt);
  QTest::mouseClick(Find<QPushButton>(*form, "BtnRun"), Qt::LeftButton);
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].title, "Save Output File as");
  EXPECT_EQ(dir.Read("old.out"), "keep me");
  EXPECT_FALSE(RunSettings.OutputAvailable);
}

TEST_F(MainFormTest, ExitWithUnsavedChanges) {
  RunSettings.ParamsModified = true;
  prompter.QueueAnswer(Answer::kYes);
  prompter.QueueFile(dir.File("saved.par"));
  Item("MIExit")->trigger();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(fs::exists(dir.File("saved.par")));
  EXPECT_EQ(Find<QLineEdit>(*form, "ParamBox")->text().toStdString(), dir.File("saved.par"));

  // The frame's close button asks too; Cancel keeps the window.
  RunSettings.ParamsModified = true;
  prompter.QueueAnswer(Answer::kCancel);
  form->close();
  EXPECT_TRUE(form->isVisible());

  prompter.QueueAnswer(Answer::kNo);
  Item("MIExit")->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(prompter.messages.size(), 3u);
}

TEST_F(MainFormTest, CloseRequestDuringARunIsIgnoredNotHeld) {
  RunSettings.ParamsModified = true;
  form->SetMainWindowEnabled(false);  // as a run does
  EXPECT_FALSE(form->close());
  form->SetMainWindowEnabled(true);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->isEnabled());
  EXPECT_TRUE(prompter.messages.empty());  // not even the question about unsaved values
}

TEST_F(MainFormTest, RunMovesTheProgressBarWithTheMainWindowDisabled) {
  ChooseExampleSite();
  Type(Find<QLineEdit>(*form, "MEStartTime"), "1590");
  Type(Find<QLineEdit>(*form, "MEStopTime"), "1610");
  TFmProgress& progress = windows->Progress();
  struct Seen {
    int percent;
    bool progressShown;
    bool mainEnabled;
  };
  std::vector<Seen> seen;
  QObject::connect(Find<QProgressBar>(progress, "runProgressBar"), &QProgressBar::valueChanged,
                   [&](int value) {
                     seen.push_back({value, progress.isVisible(), form->isEnabled()});
                   });
  QTest::mouseClick(Find<QPushButton>(*form, "BtnRun"), Qt::LeftButton);

  EXPECT_TRUE(prompter.messages.empty());
  // Twenty yearly steps: the bar moves by 5 at the start of each step after the first.
  ASSERT_EQ(seen.size(), 19u);
  EXPECT_EQ(seen.front().percent, 5);
  EXPECT_EQ(seen.back().percent, 95);
  for (const Seen& s : seen) EXPECT_TRUE(s.progressShown && !s.mainEnabled) << s.percent;
  EXPECT_EQ(Find<QLabel>(progress, "LblBegin")->text(), "1590");
  EXPECT_EQ(Find<QLabel>(progress, "LblEnd")->text(), "1610");
  EXPECT_EQ(progress.windowTitle(), "KVS ORV run progress.");
  EXPECT_FALSE(progress.isVisible());
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(Find<QLineEdit>(*form, "PresentBox")->text(), "1609");
  EXPECT_TRUE(Item("MIChart")->isEnabled() && Item("MITable")->isEnabled());
}

TEST_F(MainFormTest, FailingRunShowsItsMessageInTheTroubleWindow) {
  ChooseExampleSite();
  // From 1601 the temperature stands at the respiration maximum: the run fails there.
  dir.Write("cell1.drr",
            "h\r\nh\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n1601 350 45 45 18 1.1 0.8 180 150 1\r\n");
  Type(Find<QLineEdit>(*form, "MEStartTime"), "1599");
  Type(Find<QLineEdit>(*form, "MEStopTime"), "1605");
  std::string shownError;
  bool progressVisible = true;
  bool mainEnabled = false;
  OnNextModal([&](QWidget* modal) {
    auto* trouble = qobject_cast<TFmTrouble*>(modal);
    ASSERT_NE(trouble, nullptr);
    shownError = Find<QPlainTextEdit>(*trouble, "MmError")->toPlainText().toStdString();
    progressVisible = windows->Progress().isVisible();
    mainEnabled = form->isEnabled();
    EXPECT_EQ(trouble->windowTitle(), "FmTrouble");
  });
  QTest::mouseClick(Find<QPushButton>(*form, "BtnRun"), Qt::LeftButton);
  EXPECT_EQ(shownError, "Floating point division by zero");
  EXPECT_FALSE(progressVisible);
  EXPECT_TRUE(mainEnabled);
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(MainFormTest, ParameterEditorClosedThroughItsFrameChangesNothing) {
  RunSettings.OutputAvailable = true;
  std::string shown;
  OnNextModal([&](QWidget* modal) { shown = modal->objectName().toStdString(); });
  Item("MIEditParam")->trigger();
  EXPECT_EQ(shown, "TFmParameter");
  EXPECT_TRUE(RunSettings.OutputAvailable);
}

}  // namespace
}  // namespace kvsorv
