// Start-up settings, run modes from the executable's name, and the output-step rules.

#include <gtest/gtest.h>

#include <string>

#include "model/errors.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/output_step.h"
#include "support/scripted_prompter.h"

namespace kvsorv {
namespace {

TEST(RunSettings, StartUpDefaults) {
  const TRunSettings s = TRunSettings{};
  EXPECT_EQ(s.Tolerance, 1e-8);
  EXPECT_EQ(s.StartTime, 0.0);
  EXPECT_EQ(s.StopTime, 2.0);
  EXPECT_EQ(s.TimeStep, 1.0);
  EXPECT_EQ(s.OutputStep, 1.0);
  EXPECT_EQ(s.SteadyStateTime, 0.0);
  EXPECT_TRUE(s.ParamFileName.empty() && s.DriverFileName.empty() && s.OutputFileName.empty());
  EXPECT_FALSE(s.ParamsModified || s.ReadyToRun || s.OutputAvailable || s.NewParamFile ||
               s.NewDriverFile);
}

TEST(RunModes, FromExecutableName) {
  struct Case {
    const char* path;
    TRunModes expected;
  };
  const Case cases[] = {
      {"/usr/bin/kvsorv", {false, false, false, true}},
      {"/opt/x/modelbatch", {true, false, false, false}},
      {"C:\\bin\\MODELBATCH.EXE", {true, false, false, false}},
      {"modelbatch.v2.exe", {true, false, false, false}},
      {"Sensitivity", {false, true, false, false}},
      {"montecarlo.sh", {false, false, true, false}},
      {"./ORVtool", {false, false, false, true}},
      {"modelbatch2", {false, false, false, false}},
      {"kvsorv-cli", {false, false, false, true}},
      {"simulator", {false, false, false, false}},
      {"/dir.orv/simulator", {false, false, false, false}},  // only the file name counts
  };
  for (const auto& c : cases) EXPECT_EQ(RunModesFromExecutableName(c.path), c.expected) << c.path;
}

TEST(CheckOutputStep, RulesInOrder) {
  TRunSettings s = TRunSettings{};  // time step 1, run length 2
  EXPECT_NO_THROW(CheckOutputStep(1.0, s));
  EXPECT_NO_THROW(CheckOutputStep(2.0, s));
  EXPECT_NO_THROW(CheckOutputStep(1.0005, s));  // within 0.001 of a multiple
  EXPECT_THROW(CheckOutputStep(0.5, s), EOutputStepTooSmall);
  EXPECT_THROW(CheckOutputStep(3.0, s), EOutputStepTooLarge);
  EXPECT_THROW(CheckOutputStep(1.5, s), EOutputStepNotMultiple);
  s.StopTime = 10.0;
  EXPECT_NO_THROW(CheckOutputStep(2.0005, s));
  EXPECT_THROW(CheckOutputStep(2.0015, s), EOutputStepNotMultiple);
  // Too small wins over too large when both hold.
  s.TimeStep = 20.0;
  EXPECT_THROW(CheckOutputStep(15.0, s), EOutputStepTooSmall);
}

TEST(RepairOutputStep, RepairsAndTellsTheUser) {
  struct Case {
    double outputStep;
    double repaired;
    const char* text;  // empty: accepted without a box
  };
  const Case cases[] = {
      {0.5, 1.0,
       "Output time step is less than simulation time step. Output time step increased to "
       "time step."},
      {3.0, 2.0,
       "Output time step is greater than run length. Output time step decreased to run "
       "length."},
      {1.5, 1.0,
       "Output time step must be a multiple of simulation time step. Output time step changed "
       "to current time step."},
      {2.0, 2.0, ""},
      {1.0, 1.0, ""},
  };
  for (const auto& c : cases) {
    testing::ScriptedPrompter prompter;
    TRunSettings s = TRunSettings{};
    s.OutputStep = c.outputStep;
    const bool repaired = RepairOutputStep(s);
    EXPECT_EQ(s.OutputStep, c.repaired) << c.outputStep;
    EXPECT_TRUE(s.OutputReloadPending);
    if (std::string(c.text).empty()) {
      EXPECT_FALSE(repaired);
      EXPECT_TRUE(prompter.messages.empty());
    } else {
      EXPECT_TRUE(repaired);
      ASSERT_EQ(prompter.messages.size(), 1u);
      EXPECT_EQ(prompter.messages[0].kind, MessageKind::kInformation);
      EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::kOk);
      EXPECT_EQ(prompter.messages[0].text, c.text);
    }
  }
}

TEST(RepairOutputStep, RepairedValueIsNotCheckedAgain) {
  // Run length 2.5 with step 1: too large is repaired to 2.5, itself not a multiple.
  testing::ScriptedPrompter prompter;
  TRunSettings s = TRunSettings{};
  s.StopTime = 2.5;
  s.OutputStep = 4.0;
  EXPECT_TRUE(RepairOutputStep(s));
  EXPECT_EQ(s.OutputStep, 2.5);
  EXPECT_EQ(prompter.messages.size(), 1u);
}

}  // namespace
}  // namespace kvsorv
