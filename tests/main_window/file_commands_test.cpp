// Choosing, creating, rejecting and saving files from the main window, and Exit.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/param_file.h"
#include "main_window/file_commands.h"
#include "main_window_fixture.h"
#include "model/errors.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/run_modes.h"
#include "program/run_settings.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;
using testing::MainWindowTest;

// The states and parameters a parameter file holds, read into tables of their own.
struct ParamFileValues {
  statearray states;
  paramarray params;
};
ParamFileValues ReadBack(const std::string& file) {
  ParamFileValues v{States, Params};
  double residual = 0.0;
  EXPECT_TRUE(
      ReadParamFile(file, ModelDef.numparam, v.params, ModelDef.numstate, v.states, residual));
  return v;
}

void LeaveParamBox(MainView& v) {
  ChooseParamFile(v, FileTrigger::kField);
}
void LeaveDriverBox(MainView& v) {
  ChooseDriver(v, FileTrigger::kField);
}
void LeaveOutputBox(MainView& v) {
  ChooseOutputFile(v, FileTrigger::kField);
}

class FileCommandsTest : public MainWindowTest {};

TEST_F(FileCommandsTest, EnablingFollowsTheFilesAndTimes) {
  const std::string par = Example("cell1.par");
  const std::string drr = Example("cell1.drr");
  Type(MainField::kParamBox, par, LeaveParamBox);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kSaveParam));
  EXPECT_FALSE(view.IsEnabled(MainCommand::kCalculate));
  Type(MainField::kDriverBox, drr, LeaveDriverBox);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kCalculate));
  EXPECT_FALSE(view.IsEnabled(MainCommand::kRun));

  RunSettings.StopTime = 0;  // stop time not above the start time
  Type(MainField::kOutputBox, dir.File("a.out"), LeaveOutputBox);
  EXPECT_FALSE(view.IsEnabled(MainCommand::kRun));
  EXPECT_FALSE(RunSettings.ReadyToRun);
  RunSettings.StopTime = 2;
  Type(MainField::kOutputBox, dir.File("b.out"), LeaveOutputBox);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kRun));
  EXPECT_TRUE(RunSettings.ReadyToRun);

  // Once enabled, Save, Calculate and Run stay enabled whatever the fields hold.
  Type(MainField::kDriverBox, "", LeaveDriverBox);
  EXPECT_TRUE(view.IsEnabled(MainCommand::kSaveParam) && view.IsEnabled(MainCommand::kCalculate) &&
              view.IsEnabled(MainCommand::kRun));
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(FileCommandsTest, LeavingTheParamFieldUnchangedReadsNothing) {
  dir.Write("other.par", "not a parameter file\r\n");
  RunSettings.ParamFileName = dir.File("other.par");
  LoadExample();
  const double cf = testing::StateValue(States, "Cf");
  Type(MainField::kParamBox, dir.File("other.par"), LeaveParamBox);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(testing::StateValue(States, "Cf"), cf);
}

TEST_F(FileCommandsTest, NewParamFileIsWrittenFromCurrentValuesThenValuesAreZeroed) {
  LoadExample();
  const ParamFileValues before{States, Params};
  RunSettings.OutputAvailable = true;
  Type(MainField::kParamBox, dir.File("new.par"), LeaveParamBox);
  ASSERT_TRUE(fs::exists(dir.File("new.par")));
  EXPECT_TRUE(RunSettings.NewParamFile);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_EQ(States[i].value, 0.0);
  for (int i = 1; i <= ModelDef.numparam; ++i) EXPECT_EQ(Params[i].value, 0.0);
  const ParamFileValues written = ReadBack(dir.File("new.par"));
  // The file's 15 significant digits give back every example value to that precision.
  for (int i = 1; i <= ModelDef.numparam; ++i)
    EXPECT_NEAR(written.params[i].value, before.params[i].value,
                1e-14 * std::abs(before.params[i].value));
}

TEST_F(FileCommandsTest, ExistingParamFileIsReadAndClearsNewParamFile) {
  RunSettings.NewParamFile = true;
  RunSettings.ReadyToRun = true;
  Type(MainField::kParamBox, Example("cell1.par"), LeaveParamBox);
  EXPECT_FALSE(RunSettings.NewParamFile);
  EXPECT_FALSE(RunSettings.ReadyToRun);
  EXPECT_GT(testing::StateValue(States, "Cf"), 0.0);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(FileCommandsTest, RejectedParamFileZeroesValuesAndForgetsTheName) {
  LoadExample();
  dir.Write("alien.par", "OTHER MODEL          1.0\r\n");
  Type(MainField::kParamBox, dir.File("alien.par"), LeaveParamBox);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_TRUE(RunSettings.ParamFileName.empty());
  EXPECT_EQ(view.FieldText(MainField::kParamBox), dir.File("alien.par"));
  for (int i = 1; i <= ModelDef.numparam; ++i) EXPECT_EQ(Params[i].value, 0.0);
}

TEST_F(FileCommandsTest, ParamDialogShowsTheChosenNameAndCancelChangesNothing) {
  const std::string par = Example("cell1.par");
  prompter.QueueFile(std::nullopt);
  ChooseParamFile(view, FileTrigger::kDialog);
  EXPECT_TRUE(RunSettings.ParamFileName.empty());
  prompter.QueueFile(par);
  ChooseParamFile(view, FileTrigger::kDialog);
  EXPECT_EQ(RunSettings.ParamFileName, par);
  EXPECT_EQ(view.FieldText(MainField::kParamBox), par);

  ASSERT_EQ(prompter.fileRequests.size(), 2u);
  const FileDialogRequest& r = prompter.fileRequests[1];
  EXPECT_EQ(r.title, "Choose Parameter File");
  EXPECT_EQ(r.filter, "Parameter FIles (*.par)|*.par|All Files|*.*");
  EXPECT_EQ(r.defaultExtension, "par");
  EXPECT_TRUE(r.pathMustExist && r.createPrompt && r.hideReadOnly && r.noReadOnlyReturn);
  EXPECT_FALSE(r.fileMustExist || r.confirmOverwrite);
}

TEST_F(FileCommandsTest, WithoutInteractiveModeChoosingOnlyRecordsNames) {
  RunModes.InteractiveMode = false;
  Type(MainField::kParamBox, dir.File("none.par"), LeaveParamBox);
  Type(MainField::kDriverBox, dir.File("none.drr"), LeaveDriverBox);
  Type(MainField::kOutputBox, dir.File("x.out"), LeaveOutputBox);
  EXPECT_FALSE(fs::exists(dir.File("none.par")) || fs::exists(dir.File("none.drr")));
  EXPECT_EQ(RunSettings.ParamFileName, dir.File("none.par"));
  EXPECT_TRUE(view.IsEnabled(MainCommand::kCalculate) && view.IsEnabled(MainCommand::kRun));
}

TEST_F(FileCommandsTest, MissingDriverFileIsCreatedWithOneZeroRecordAtThePresentTime) {
  LoadExample();
  RunSettings.PresentTime = 1850;
  Type(MainField::kDriverBox, dir.File("cell3.drr"), LeaveDriverBox);
  EXPECT_TRUE(RunSettings.NewDriverFile);
  for (int i = 1; i <= ModelDef.numdrivers; ++i) EXPECT_EQ(Drivers[i].value, 0.0);
  const std::string text = dir.Read("cell3.drr");
  EXPECT_NE(text.find("\r\n1.850000000000E+003  0.000000000000E+000"), std::string::npos) << text;
  EXPECT_FALSE(MainDriverChannel.IsOpen());

  // Leaving the field again with the same name neither reads nor creates anything.
  fs::remove(dir.File("cell3.drr"));
  RunSettings.NewDriverFile = false;
  LeaveDriverBox(view);
  EXPECT_FALSE(fs::exists(dir.File("cell3.drr")));
  EXPECT_FALSE(RunSettings.NewDriverFile);
}

TEST_F(FileCommandsTest, OverwriteQuestionForAnExistingOutputFile) {
  dir.Write("old.out", "x");
  RunModes.InteractiveMode = false;  // the question is asked in every mode
  prompter.QueueAnswer(Answer::kNo);
  Type(MainField::kOutputBox, dir.File("old.out"), LeaveOutputBox);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kConfirmation);
  EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(prompter.messages[0].text,
            "Overwrite existing output file, " + dir.File("old.out") + "?");
  EXPECT_TRUE(RunSettings.OutputFileName.empty());

  // From the dialog: Yes keeps the name; No leaves the field showing its earlier text.
  view.SetFieldText(MainField::kOutputBox, "earlier.out");
  prompter.QueueFile(dir.File("old.out"));
  prompter.QueueAnswer(Answer::kNo);
  ChooseOutputFile(view, FileTrigger::kDialog);
  EXPECT_TRUE(RunSettings.OutputFileName.empty());
  EXPECT_EQ(view.FieldText(MainField::kOutputBox), "earlier.out");
  prompter.QueueFile(dir.File("old.out"));
  prompter.QueueAnswer(Answer::kYes);
  ChooseOutputFile(view, FileTrigger::kDialog);
  EXPECT_EQ(RunSettings.OutputFileName, dir.File("old.out"));
  EXPECT_EQ(view.FieldText(MainField::kOutputBox), dir.File("old.out"));
  const FileDialogRequest& r = prompter.fileRequests.back();
  EXPECT_EQ(r.title, "Save Output File as");
  EXPECT_TRUE(r.pathMustExist);
  EXPECT_FALSE(r.confirmOverwrite);
}

TEST_F(FileCommandsTest, SaveWritesClearsFlagsAndBeepsOutsideSensitivityMode) {
  LoadExample();
  RunSettings.ParamFileName = dir.File("saved.par");
  RunSettings.ParamsModified = RunSettings.OutputAvailable = RunSettings.NewParamFile = true;
  MISaveParamClick(view);
  EXPECT_TRUE(fs::exists(dir.File("saved.par")));
  EXPECT_FALSE(RunSettings.ParamsModified || RunSettings.OutputAvailable ||
               RunSettings.NewParamFile);
  EXPECT_EQ(prompter.beeps, 1);
  RunModes = TRunModes{false, true, false, false};
  MISaveParamClick(view);
  EXPECT_EQ(prompter.beeps, 1);
}

TEST_F(FileCommandsTest, SaveWithoutANameAsksForOne) {
  // A rejected parameter file leaves the name empty; Save must not write a nameless file.
  prompter.QueueFile(std::nullopt);
  MISaveParamClick(view);
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].title, "Save Parameter File");
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST_F(FileCommandsTest, SaveAsWritesUnderTheChosenName) {
  LoadExample();
  RunSettings.ReadyToRun = true;
  prompter.QueueFile(std::nullopt);
  MISaveAsParamClick(view);
  EXPECT_TRUE(RunSettings.ReadyToRun);
  prompter.QueueFile(dir.File("as.par"));
  MISaveAsParamClick(view);
  EXPECT_TRUE(fs::exists(dir.File("as.par")));
  EXPECT_EQ(view.FieldText(MainField::kParamBox), dir.File("as.par"));
  const FileDialogRequest& r = prompter.fileRequests.back();
  EXPECT_EQ(r.filter, "Parameter Files (*.par)|*.par|All Files|*.*");
  EXPECT_TRUE(r.confirmOverwrite && r.createPrompt && r.hideReadOnly);
  // ReadyToRun is cleared; without a driver file the refresh cannot set it again.
  EXPECT_FALSE(RunSettings.ReadyToRun);
  EXPECT_EQ(prompter.beeps, 0);
}

TEST_F(FileCommandsTest, ExitAsksAboutUnsavedValues) {
  MIExitClick(view);
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(prompter.messages.empty());

  view.closed = false;
  RunSettings.ParamsModified = true;
  prompter.QueueAnswer(Answer::kCancel);
  MIExitClick(view);
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(prompter.messages.back().text, "Save parameter file before exiting?");
  EXPECT_EQ(prompter.messages.back().buttons, MessageButtons::kYesNoCancel);

  // Yes saves under the chosen name and keeps the window open; the next Exit closes.
  LoadExample();
  prompter.QueueAnswer(Answer::kYes);
  prompter.QueueFile(dir.File("kept.par"));
  MIExitClick(view);
  EXPECT_FALSE(view.closed);
  EXPECT_TRUE(fs::exists(dir.File("kept.par")));
  EXPECT_EQ(RunSettings.ParamFileName, dir.File("kept.par"));
  EXPECT_FALSE(RunSettings.ParamsModified);
  MIExitClick(view);
  EXPECT_TRUE(view.closed);

  view.closed = false;
  RunSettings.ParamsModified = true;
  prompter.QueueAnswer(Answer::kNo);
  MIExitClick(view);
  EXPECT_TRUE(view.closed);

  // Cancelled at the question about an unsaved ensemble plan: nothing else is asked.
  view.closed = false;
  view.ensemblePlanClosed = false;
  const std::size_t asked = prompter.messages.size();
  MIExitClick(view);
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(prompter.messages.size(), asked);
}

TEST_F(FileCommandsTest, WriteFailuresArePassedOn) {
  LoadExample();
  RunSettings.ParamFileName = dir.File("no/such/dir/x.par");
  EXPECT_THROW(MISaveParamClick(view), EInOutError);
  view.EnterFieldText(MainField::kParamBox, dir.File("no/dir/y.par"));
  EXPECT_THROW(LeaveParamBox(view), EInOutError);
}

}  // namespace
}  // namespace kvsorv
