// The main window's refresh, start-up, the Run command with its windows, and the commands
// that open other windows.

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "auxiliary/auxiliary_windows.h"
#include "files/driver_file.h"
#include "main_window/failure_report.h"
#include "main_window/file_commands.h"
#include "main_window/main_form_update.h"
#include "main_window/run_command.h"
#include "main_window/start_up.h"
#include "main_window/window_commands.h"
#include "main_window_fixture.h"
#include "model/errors.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;
using testing::MainWindowTest;

class MainWindowCommandsTest : public MainWindowTest {
 protected:
  // The example site chosen as a user would, with times from 0 to 2.
  void ChooseExampleSite() {
    StartOptions o;
    o.params = Example("cell1.par");
    o.drivers = Example("cell1.drr");
    Example("cell1b.drr");
    o.output = dir.File("cell1.out");
    ApplyStartOptions(view, o);
    ASSERT_TRUE(prompter.messages.empty());
    ASSERT_TRUE(view.IsEnabled(MainCommand::kRun));
    view.log.clear();
  }
};

TEST_F(MainWindowCommandsTest, StartUpSetsDefaultsCatalogueCaptionAndRunMode) {
  RunSettings.StopTime = 99;
  ModelDef = TModelDef{};
  MainDriverReader = DriverReader{};
  FormCreate(view, "/opt/bin/kvsorv");
  EXPECT_EQ(RunSettings.StopTime, 2.0);
  EXPECT_EQ(view.caption, "KVS ORV");
  EXPECT_EQ(ModelDef.numstate, 19);
  EXPECT_FALSE(Drivers[1].name.empty());
  EXPECT_EQ(MainDriverReader.nextRecord[1].name, Drivers[1].name);
  EXPECT_EQ(MainDriverReader.previousRecord[9].units, Drivers[9].units);
  EXPECT_TRUE(RunModes.InteractiveMode);

  FormCreate(view, "/usr/local/bin/MODELBATCH.old.exe");
  EXPECT_EQ(RunModes, (TRunModes{true, false, false, false}));
}

TEST_F(MainWindowCommandsTest, RefreshWithAndWithoutOutput) {
  MainDriverReader.nextTime = BaseDriverReader.nextTime = 5;
  view.text[MainField::kPresentBox] = "2";
  RunSettings.OutputAvailable = true;
  UpdateMainForm(view);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kChart) && view.IsEnabled(MainCommand::kTable));
  EXPECT_EQ(MainDriverReader.nextTime, 0.0);
  EXPECT_EQ(BaseDriverReader.nextTime, 0.0);
  EXPECT_EQ(view.FieldText(MainField::kPresentBox), "2");

  RunSettings.OutputAvailable = false;
  view.paramBoxFocused = true;
  UpdateMainForm(view);
  EXPECT_FALSE(view.IsEnabled(MainCommand::kChart) || view.IsEnabled(MainCommand::kTable));
  EXPECT_EQ(view.FieldText(MainField::kPresentBox), "0");
  EXPECT_EQ(view.log, Log{"focus background"});
}

TEST_F(MainWindowCommandsTest, RunShowsProgressAndRestoresTheWindow) {
  ChooseExampleSite();
  EXPECT_TRUE(BtnRunClick(view));
  EXPECT_EQ(view.log, (Log{"progress shown", "disabled", "enabled", "progress hidden"}));
  EXPECT_EQ(view.progress, (std::vector<int>{0, 50}));
  EXPECT_TRUE(view.windowEnabled);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kChart));
  // The begin time of the last output step, read back from the scratch driver file.
  EXPECT_EQ(view.FieldText(MainField::kPresentBox), "1");
  EXPECT_EQ(RunSettings.DisplayFileName, dir.File("cell1.out"));
  EXPECT_TRUE(fs::exists(dir.File("cell2.drr")));
}

TEST_F(MainWindowCommandsTest, FailedRunShowsTheTroubleWindowAfterTheProgressWindow) {
  ChooseExampleSite();
  // A temperature at the respiration maximum from 1601 on stops the integration.
  dir.Write("cell1.drr",
            "h\r\nh\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n1601 350 45 45 18 1.1 0.8 180 150 1\r\n");
  RunSettings.StartTime = 1599;
  RunSettings.StopTime = 1605;
  EXPECT_FALSE(BtnRunClick(view));
  EXPECT_EQ(view.log, (Log{"progress shown", "disabled", "enabled", "progress hidden",
                           "trouble: Floating point division by zero"}));
  EXPECT_TRUE(view.windowEnabled);
}

TEST_F(MainWindowCommandsTest, FailureBeforeTheLoopIsPassedOnWithTheWindowRestored) {
  ChooseExampleSite();
  fs::remove(dir.File("cell1.drr"));
  EXPECT_THROW(BtnRunClick(view), EInOutError);
  EXPECT_TRUE(view.windowEnabled);
  EXPECT_EQ(view.log.back(), "progress hidden");
}

TEST_F(MainWindowCommandsTest, BatchModeRunShowsNothing) {
  ChooseExampleSite();
  RunModes = TRunModes{true, false, false, false};
  EXPECT_TRUE(BtnRunClick(view));
  EXPECT_TRUE(view.log.empty());
  EXPECT_TRUE(view.progress.empty());
  EXPECT_TRUE(RunSettings.OutputAvailable);
}

TEST_F(MainWindowCommandsTest, RunWithoutAnOutputFileAsksForOne) {
  ChooseExampleSite();
  // The overwrite question answered No: the field still shows the name, the run has none.
  prompter.QueueAnswer(Answer::kNo);
  RunSettings.OutputFileName.clear();
  dir.Write("cell1.out", "earlier output");
  ChooseOutputFile(view, FileTrigger::kField);
  ASSERT_TRUE(RunSettings.OutputFileName.empty());
  ASSERT_EQ(view.FieldText(MainField::kOutputBox), dir.File("cell1.out"));

  prompter.QueueFile(std::nullopt);
  EXPECT_FALSE(BtnRunClick(view));
  EXPECT_EQ(dir.Read("cell1.out"), "earlier output");
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].title, "Save Output File as");
  EXPECT_EQ(prompter.fileRequests[0].initialName, dir.File("cell1.out"));

  prompter.QueueFile(dir.File("other.out"));
  EXPECT_TRUE(BtnRunClick(view));
  EXPECT_TRUE(fs::exists(dir.File("other.out")));
  EXPECT_EQ(dir.Read("cell1.out"), "earlier output");
}

TEST_F(MainWindowCommandsTest, TimeStepThatCannotAdvanceTheClockIsRefused) {
  ChooseExampleSite();
  RunSettings.StopTime = 99999;
  RunSettings.TimeStep = 1e-99;
  EXPECT_FALSE(BtnRunClick(view));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, kTimeStepTooSmallMessage);
  EXPECT_TRUE(view.log.empty());
}

TEST_F(MainWindowCommandsTest, StartOptionsAreAppliedAsTypedEvenAfterAFailure) {
  StartOptions o;
  o.params = dir.File("no/such/dir/x.par");  // cannot be created: reported, then go on
  o.drivers = Example("cell1.drr");
  o.stop = "2000";
  o.step = "0.5";
  o.plan = "plan.toml";
  ApplyStartOptions(view, o);
  EXPECT_EQ(view.log.back(), "ensemble plan plan.toml");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(RunSettings.DriverFileName, dir.File("cell1.drr"));
  EXPECT_EQ(RunSettings.StopTime, 2000.0);
  EXPECT_EQ(RunSettings.TimeStep, 0.5);
  EXPECT_TRUE(view.FieldEdited(MainField::kStopTime));
}

TEST_F(MainWindowCommandsTest, ReloadNeedsAParameterFile) {
  BtnReloadClick(view);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(prompter.messages[0].text, "Invalid parameter file. No values reloaded.");
  EXPECT_TRUE(view.log.empty());

  RunSettings.ParamFileName = "cell1.par";
  RunSettings.OutputAvailable = true;
  BtnReloadClick(view);  // cancelled
  EXPECT_TRUE(RunSettings.OutputAvailable);
  view.modalAnswer = true;
  BtnReloadClick(view);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  EXPECT_EQ(view.log, (Log{"reload dialog", "reload dialog"}));
}

TEST_F(MainWindowCommandsTest, EditorsClearTheFlagsOnlyWhenClosedWithOK) {
  RunSettings.OutputAvailable = RunSettings.ReadyToRun = true;
  MIEditParamClick(view);
  MIEditDrvClick(view);
  EXPECT_TRUE(RunSettings.OutputAvailable && RunSettings.ReadyToRun);
  view.modalAnswer = true;
  MIEditParamClick(view);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  EXPECT_TRUE(RunSettings.ReadyToRun);
  MIEditDrvClick(view);
  EXPECT_FALSE(RunSettings.ReadyToRun);
  MIEditStatesClick(view);
  MICalcSSClick(view);
  DisplayOutput(view, true);
  DisplayOutput(view, false);
  MIAboutClick(view);
  EXPECT_EQ(view.log, (Log{"parameter editor", "driver editor", "parameter editor", "driver editor",
                           "state grid", "steady state", "table", "chart", "about"}));
}

TEST_F(MainWindowCommandsTest, OutputFromAFile) {
  RunSettings.OutputFileName = "run.out";
  prompter.QueueFile(std::nullopt);
  MIViewOutFileClick(view);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  prompter.QueueFile("old.out");
  MIViewOutFileClick(view);
  EXPECT_EQ(RunSettings.DisplayFileName, "old.out");
  EXPECT_EQ(RunSettings.OutputFileName, "run.out");
  EXPECT_TRUE(RunSettings.OutputAvailable && RunSettings.OutputReloadPending);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kTable));
  const FileDialogRequest& r = prompter.fileRequests.back();
  EXPECT_EQ(r.title, "Open Output File");
  EXPECT_EQ(r.filter, "Output Files (*.out)|*.out|All Files (*.*)|*.*");
  EXPECT_TRUE(r.fileMustExist);
}

TEST_F(MainWindowCommandsTest, FailuresAreReportedInAnErrorBox) {
  EXPECT_TRUE(RunReportingFailures([] {}));
  EXPECT_FALSE(RunReportingFailures([] { throw EConvertError("x"); }));
  EXPECT_FALSE(RunReportingFailures([] { throw std::runtime_error("disk full"); }));
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(prompter.messages[0].text, "'x' is not a valid floating point value");
  EXPECT_EQ(prompter.messages[1].text, "disk full");
}

TEST_F(MainWindowCommandsTest, ProgressAndAboutTexts) {
  const ProgressWindowTexts progress = ProgressTexts();
  EXPECT_EQ(progress.caption, "KVS ORV run progress.");
  EXPECT_EQ(progress.begin, "0");
  EXPECT_EQ(progress.end, "2");
  RunSettings.StartTime = 1590.25;
  EXPECT_EQ(ProgressTexts().begin, "1590.25");
  const AboutWindowTexts about = AboutTexts();
  EXPECT_EQ(about.model, "KVS ORV");
  EXPECT_EQ(about.version, "Version 3.3.6.5d");
}

}  // namespace
}  // namespace kvsorv
