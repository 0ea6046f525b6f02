// The time fields, the output time step command and the steady-state time command.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window/time_commands.h"
#include "main_window_fixture.h"
#include "model/errors.h"
#include "program/run_settings.h"

namespace kvsorv {
namespace {

using testing::MainWindowTest;

class TimeCommandsTest : public MainWindowTest {};

TEST_F(TimeCommandsTest, StartAndStopApplyOnlyOnceEditedAndNotEmpty) {
  RunSettings.ReadyToRun = RunSettings.OutputAvailable = true;
  view.text[MainField::kStopTime] = "7";  // shown but never edited by the user
  StopBoxChange(view);
  EXPECT_EQ(RunSettings.StopTime, 2.0);
  EXPECT_TRUE(RunSettings.ReadyToRun);

  Type(MainField::kStopTime, "  ", StopBoxChange);  // blank: ignored
  EXPECT_EQ(RunSettings.StopTime, 2.0);
  EXPECT_TRUE(RunSettings.ReadyToRun);

  Type(MainField::kStartTime, "1590", StartBoxChange);
  Type(MainField::kStopTime, "1610", StopBoxChange);
  EXPECT_EQ(RunSettings.StartTime, 1590.0);
  EXPECT_EQ(RunSettings.StopTime, 1610.0);
  EXPECT_FALSE(RunSettings.ReadyToRun || RunSettings.OutputAvailable);
  EXPECT_EQ(view.FieldText(MainField::kPresentBox), "0");
  // Changing start or stop never checks the output step.
  EXPECT_TRUE(prompter.messages.empty());

  // Once edited, leaving the field clears the flags every time, even with the same value.
  RunSettings.ReadyToRun = RunSettings.OutputAvailable = true;
  StopBoxChange(view);
  EXPECT_FALSE(RunSettings.OutputAvailable);
}

TEST_F(TimeCommandsTest, TextThatIsNotANumberChangesNothing) {
  RunSettings.OutputAvailable = true;
  view.EnterFieldText(MainField::kTimeStep, "1x");
  try {
    StepBoxChange(view);
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'1x' is not a valid floating point value");
  }
  EXPECT_EQ(RunSettings.TimeStep, 1.0);
  EXPECT_EQ(view.FieldText(MainField::kTimeStep), "1");  // the step in use is shown again
  EXPECT_TRUE(RunSettings.OutputAvailable);
}

TEST_F(TimeCommandsTest, TimeStepAppliesAndKeepsItsText) {
  RunSettings.StopTime = 10;
  RunSettings.OutputStep = 0.5;
  Type(MainField::kTimeStep, "0.25", StepBoxChange);
  EXPECT_EQ(RunSettings.TimeStep, 0.25);
  EXPECT_EQ(RunSettings.TimeStepText, "0.25");
  EXPECT_TRUE(prompter.messages.empty());  // 0.5 is two steps of 0.25
  EXPECT_TRUE(RunSettings.OutputReloadPending);
}

TEST_F(TimeCommandsTest, TimeStepThatIsNotPositiveIsRefused) {
  for (const char* text : {"0", "-1", "0.0"}) {
    prompter.messages.clear();
    RunSettings.OutputAvailable = true;
    Type(MainField::kTimeStep, text, StepBoxChange);
    EXPECT_EQ(RunSettings.TimeStep, 1.0) << text;
    EXPECT_EQ(RunSettings.TimeStepText, "1") << text;
    EXPECT_EQ(view.FieldText(MainField::kTimeStep), "1") << text;
    EXPECT_TRUE(RunSettings.OutputAvailable) << text;
    ASSERT_EQ(prompter.messages.size(), 1u) << text;
    EXPECT_EQ(prompter.messages[0].text, kTimeStepNotPositiveMessage);
  }
}

TEST_F(TimeCommandsTest, LeavingTheUneditedTimeStepStillRepairsTheOutputStep) {
  RunSettings.OutputStep = 2;
  Type(MainField::kStopTime, "1", StopBoxChange);  // the run is now one year long
  EXPECT_EQ(RunSettings.OutputStep, 2.0);
  StepBoxChange(view);
  EXPECT_EQ(RunSettings.OutputStep, 1.0);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kInformation);
  EXPECT_EQ(prompter.messages[0].text,
            "Output time step is greater than run length. Output time step decreased to run "
            "length.");
}

TEST_F(TimeCommandsTest, OutputTimeStepIsCheckedAndRepaired) {
  // Time step 1, run from 0 to 2 (to 10 for the last case).
  struct Case {
    const char* entered;
    double expected;
    const char* message;  // nullptr: accepted without a box
  };
  const Case cases[] = {
      {"0.5", 1.0,
       "Output time step is less than simulation time step. Output time step increased to time "
       "step."},
      {"3", 2.0,
       "Output time step is greater than run length. Output time step decreased to run length."},
      {"1.5", 1.0,
       "Output time step must be a multiple of simulation time step. Output time step changed to "
       "current time step."},
      {"2", 2.0, nullptr},
      {"1", 1.0, nullptr},
  };
  for (const Case& c : cases) {
    prompter.messages.clear();
    RunSettings.OutputStep = 1.0;
    RunSettings.OutputAvailable = true;
    prompter.QueueInput(c.entered);
    MIOutTimeStepClick(view);
    EXPECT_EQ(RunSettings.OutputStep, c.expected) << c.entered;
    EXPECT_FALSE(RunSettings.OutputAvailable);
    EXPECT_TRUE(RunSettings.OutputReloadPending);
    if (c.message == nullptr) {
      EXPECT_TRUE(prompter.messages.empty()) << c.entered;
    } else {
      ASSERT_EQ(prompter.messages.size(), 1u) << c.entered;
      EXPECT_EQ(prompter.messages[0].text, c.message);
    }
  }
  EXPECT_EQ(prompter.inputPrompts[0], "Output Time Step|Enter the time step for the output data.");
  EXPECT_EQ(prompter.inputDefaults[0], "1");

  // Within 0.001 of a whole multiple of the time step counts as a multiple.
  prompter.messages.clear();
  RunSettings.StopTime = 10;
  prompter.QueueInput("2.0005");
  MIOutTimeStepClick(view);
  EXPECT_EQ(RunSettings.OutputStep, 2.0005);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(TimeCommandsTest, OutputTimeStepAsksAgainUntilPositive) {
  RunSettings.StopTime = 10;
  RunSettings.OutputStep = 2.5;
  prompter.QueueInput("0");
  prompter.QueueInput("-1");
  prompter.QueueInput("5");
  MIOutTimeStepClick(view);
  EXPECT_EQ(RunSettings.OutputStep, 5.0);
  EXPECT_EQ(prompter.inputDefaults, (std::vector<std::string>{"2.5", "0", "-1"}));
}

TEST_F(TimeCommandsTest, OutputTimeStepCancelAndBadTextKeepTheValue) {
  RunSettings.StopTime = 10;
  RunSettings.OutputStep = 2;
  prompter.QueueInput(std::nullopt);
  MIOutTimeStepClick(view);
  EXPECT_EQ(RunSettings.OutputStep, 2.0);

  // After a non-positive answer, cancel falls back on the value before the command.
  prompter.QueueInput("-3");
  prompter.QueueInput(std::nullopt);
  MIOutTimeStepClick(view);
  EXPECT_EQ(RunSettings.OutputStep, 2.0);

  prompter.QueueInput("0");
  prompter.QueueInput("two");
  EXPECT_THROW(MIOutTimeStepClick(view), EConvertError);
  EXPECT_EQ(RunSettings.OutputStep, 2.0);
}

TEST_F(TimeCommandsTest, SteadyStateTime) {
  RunSettings.OutputAvailable = true;
  prompter.QueueInput("1850.5");
  MICalTimeClick(view);
  EXPECT_EQ(RunSettings.SteadyStateTime, 1850.5);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  EXPECT_TRUE(RunSettings.OutputReloadPending);
  EXPECT_EQ(prompter.inputPrompts[0],
            "Steady State Time|Enter the time from the driver file at which to calculate a "
            "steady state.");
  EXPECT_EQ(prompter.inputDefaults[0], "0");

  prompter.QueueInput(std::nullopt);
  MICalTimeClick(view);
  EXPECT_EQ(RunSettings.SteadyStateTime, 1850.5);
  EXPECT_EQ(prompter.inputDefaults[1], "1850.5");

  prompter.QueueInput("soon");
  EXPECT_THROW(MICalTimeClick(view), EConvertError);
  EXPECT_EQ(RunSettings.SteadyStateTime, 1850.5);
}

}  // namespace
}  // namespace kvsorv
