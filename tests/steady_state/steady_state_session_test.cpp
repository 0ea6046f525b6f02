// The steady-state window's numerical side: the opening in each run mode, the steady
// judgement, failed solves as the user sees them, committed entries, the field table, and
// what OK, Cancel and save leave in the global tables.

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "example_site_calibration.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "steady_state/steady_state_fields.h"
#include "steady_state/steady_state_session.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv::testing {
namespace {

constexpr const char* kInsufficientPhotosynthesisShown =
    "Steady state calculation failed. Error calculating new parameter or state variable. New "
    "values of parameters and states but old values of the processes are now shown in the "
    "window. Additional Info:  Insufficient photosynthesis, plant respiration is negative. ";

class SteadyStateSessionTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    WaterCoefficient = 10.0;
    FillExampleDrivers(drivers);
  }

  // Opens an interactive session, declining the offer to solve.
  void OpenInteractive() {
    session.SetModes({.InteractiveMode = true});
    prompter.QueueAnswer(Answer::kNo);
    ASSERT_TRUE(session.Open(drivers));
    ASSERT_TRUE(session.OfferSolve());
    prompter.messages.clear();
  }

  // Calibrates the example site and adopts the result into the global tables, so the next
  // opening loads a steady state.
  void MakeGlobalsSteady() {
    OpenInteractive();
    ASSERT_TRUE(CalibrateExampleSite(session).steady);
    session.Ok();
    prompter.messages.clear();
  }

  int FieldPosition(std::string_view symbol, QuantityKind kind) const {
    for (int i = 0; i < static_cast<int>(session.Fields().size()); ++i)
      if (session.Fields()[i].field->symbol == symbol && session.Fields()[i].field->kind == kind)
        return i;
    return -1;
  }

  void ExpectShown(std::size_t i, MessageKind kind, MessageButtons buttons,
                   const std::string& text) const {
    ASSERT_LT(i, prompter.messages.size());
    EXPECT_EQ(prompter.messages[i].kind, kind);
    EXPECT_EQ(prompter.messages[i].buttons, buttons);
    EXPECT_EQ(prompter.messages[i].text, text);
  }

  ScriptedPrompter prompter;
  drivearray drivers;
  SteadyStateSession session;
};

TEST_F(SteadyStateSessionTest, OpeningLoadsTheGlobalsWithTheDriversLookedUp) {
  drivers[drv::Ca].value = 360;  // the driver file's value differs from the model's
  OpenInteractive();
  const SteadyStateSolver& s = session.Solver();
  EXPECT_EQ(s.NewDrivers()[drv::Ca].value, 360);
  EXPECT_EQ(s.WorkDrivers()[drv::Ca].value, 360);
  EXPECT_EQ(s.NewDrivers()[drv::Ca].symbol, "Ca");
  EXPECT_EQ(s.LastSavedDrivers()[drv::Ca].value, 350);
  EXPECT_EQ(s.WorkProcesses(), s.NewProcesses());
  EXPECT_EQ(s.StartProcesses(), s.NewProcesses());
  EXPECT_FALSE(s.FinalEvaluation());
  // The starting values are far from steady.
  EXPECT_FALSE(session.IsSteady());
  EXPECT_FALSE(session.StatusGreen());
}

TEST_F(SteadyStateSessionTest, TheOpeningAsksBeforeSolvingExceptInMonteCarloMode) {
  session.SetModes({.InteractiveMode = true});
  ASSERT_TRUE(session.Open(drivers));
  EXPECT_TRUE(prompter.messages.empty());
  prompter.QueueAnswer(Answer::kYes);
  ASSERT_TRUE(session.OfferSolve());
  ExpectShown(0, MessageKind::kConfirmation, MessageButtons::kYesNo, "Calculate steady state now?");
  EXPECT_TRUE(session.Solver().FinalEvaluation());  // Yes solved

  MakeGlobalsSteady();
  session.SetModes({.MonteCarloMode = true});
  ASSERT_TRUE(session.Open(drivers));
  ASSERT_TRUE(session.OfferSolve());
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(session.Solver().FinalEvaluation());
  EXPECT_TRUE(session.StatusGreen());
}

TEST_F(SteadyStateSessionTest, ASteadyLoadedSetIsGreenBeforeAnySolve) {
  MakeGlobalsSteady();
  SteadyStateSession reopened;
  reopened.SetModes({.InteractiveMode = true});
  prompter.QueueAnswer(Answer::kNo);
  ASSERT_TRUE(reopened.Open(drivers));
  EXPECT_TRUE(reopened.StatusGreen());
  EXPECT_FALSE(reopened.Solver().FinalEvaluation());
}

TEST_F(SteadyStateSessionTest, ARedLightBeforeAnyRunSaysTheWaterCoefficientIsUnset) {
  MakeGlobalsSteady();
  WaterCoefficient = 0.0;  // as in a program that has not run the model yet
  OpenInteractive();
  EXPECT_FALSE(session.StatusGreen());
  EXPECT_EQ(session.StatusNote(), kNotRunYetNote);
  WaterCoefficient = 10.0;  // set by a run
  OpenInteractive();
  EXPECT_TRUE(session.StatusGreen());
  EXPECT_EQ(session.StatusNote(), "");
}

TEST_F(SteadyStateSessionTest, SteadyMeansEveryRateWithinOneInAHundredMillion) {
  MakeGlobalsSteady();
  OpenInteractive();
  processarray& shown = session.Solver().NewProcesses();
  struct Case {
    int rate;
    double value;
    bool steady;
  };
  const Case cases[] = {
      {proc::dCfdt, 1e-8, true},     {proc::dCfdt, -1e-8, true},    {proc::dNnh4dt, 1e-8, true},
      {proc::dCfdt, 1.01e-8, false}, {proc::dNnh4dt, -2e-8, false}, {proc::dChdt, 1.0, false},
  };
  for (const Case& c : cases) {
    const double kept = shown[c.rate].value;
    shown[c.rate].value = c.value;
    session.UpdateForm(false);
    EXPECT_EQ(session.IsSteady(), c.steady) << c.rate << " " << c.value;
    EXPECT_EQ(session.StatusGreen(), c.steady) << c.rate << " " << c.value;
    shown[c.rate].value = kept;
  }
}

TEST_F(SteadyStateSessionTest, ANegativeShownValueKeepsTheStatusRedAtSteadyState) {
  MakeGlobalsSteady();
  OpenInteractive();
  // No equation uses p, so the rates stay steady while its field shows a negative value.
  session.Solver().NewParams()[prm::p].value = -1e-9;
  session.UpdateForm(false);
  EXPECT_TRUE(session.IsSteady());
  EXPECT_FALSE(session.StatusGreen());
  ASSERT_EQ(session.InvalidFields().size(), 1u);
  EXPECT_EQ(session.InvalidFields()[0], FieldPosition("p", QuantityKind::kParameter));
}

TEST_F(SteadyStateSessionTest, AFailedInteractiveSolveIsShownAndDisablesTheGroupBoxes) {
  OpenInteractive();
  const auto failed = session.CommitEntry("Ps", "100");
  ASSERT_TRUE(failed.has_value());
  EXPECT_TRUE(failed->solveFailed);  // the outcome says so; no need to count error boxes
  ExpectShown(0, MessageKind::kError, MessageButtons::kOk, kInsufficientPhotosynthesisShown);
  EXPECT_FALSE(session.GroupBoxesEnabled());
  // The judgement went on and shows the new parameters.
  EXPECT_FALSE(session.StatusGreen());
  EXPECT_EQ(session.FieldValue(session.Fields()[FieldPosition("Sc", QuantityKind::kParameter)]),
            session.Solver().WorkParams()[prm::Sc].value);

  // A later successful solve leaves the boxes disabled; the next opening enables them.
  EXPECT_FALSE(session.CommitEntry("Ps", "1200")->solveFailed);
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_FALSE(session.GroupBoxesEnabled());
  OpenInteractive();
  EXPECT_TRUE(session.GroupBoxesEnabled());
}

TEST_F(SteadyStateSessionTest, AFailedSolveAfterASteadyOneTurnsTheStatusRed) {
  MakeGlobalsSteady();
  OpenInteractive();
  ASSERT_TRUE(session.StatusGreen());
  EXPECT_TRUE(session.CommitEntry("Ps", "100")->solveFailed);
  // The processes shown are still the steady ones of the last good solve; the parameters
  // are not, so the light must not stay green.
  EXPECT_FALSE(session.StatusGreen());
}

TEST_F(SteadyStateSessionTest, AFailedSolveOutsideInteractiveModeIsPassedOnUnjudged) {
  MakeGlobalsSteady();
  session.SetModes({});
  ASSERT_TRUE(session.Open(drivers));
  ASSERT_TRUE(session.StatusGreen());
  try {
    session.CommitEntry("Ps", "100");
    FAIL() << "the solve should fail";
  } catch (const ESteadyStateFailure& e) {
    EXPECT_EQ(e.Message(), kInsufficientPhotosynthesisShown);
    // The solver's own error travels with it.
    EXPECT_THROW(std::rethrow_if_nested(e), ECalcNewValue);
  }
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(session.StatusGreen());  // not judged again
  EXPECT_TRUE(session.GroupBoxesEnabled());
}

TEST_F(SteadyStateSessionTest, SensitivityModeRejectsALoadedSetThatIsNotSteady) {
  session.SetModes({.SensitivityMode = true});
  try {
    session.Open(drivers);
    FAIL() << "the opening should fail";
  } catch (const EMathError&) {
    FAIL() << "not a calculation error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid Steady State");
  }
  EXPECT_FALSE(session.Solver().FinalEvaluation());  // no solve took place
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(SteadyStateSessionTest, AFailedOpeningEvaluationIsReportedOrPassedOn) {
  OpenInteractive();  // a first opening fills the working processes
  const processarray earlier = session.Solver().WorkProcesses();
  States[st::Cf].value = 0.0;  // no leaf area: the evaluation fails

  ASSERT_FALSE(session.Open(drivers));
  ExpectShown(0, MessageKind::kWarning, MessageButtons::kOk,
              "Cannot calculate process values. Steady state calculation aborted.");
  EXPECT_EQ(session.Solver().WorkProcesses(), earlier);
  EXPECT_EQ(session.Solver().NewStates()[st::Cf].value, 0.0);

  session.SetModes({.MonteCarloMode = true});
  EXPECT_THROW(session.Open(drivers), EInvalidOp);
}

TEST_F(SteadyStateSessionTest, CommittedEntries) {
  OpenInteractive();
  const SteadyStateSolver& s = session.Solver();
  const statearray states = s.WorkStates();

  // Not a number: the conversion error, nothing stored, no solve.
  try {
    session.CommitEntry("Ps", "12x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid floating point value");
  }
  EXPECT_NE(s.WorkProcesses()[proc::Ps].value, 12.0);
  EXPECT_FALSE(s.FinalEvaluation());

  // Empty: nothing happens.
  session.CommitEntry("Cf", "");
  EXPECT_FALSE(s.FinalEvaluation());

  // A state entry stores into the working states and solves once.
  session.CommitEntry("Cf", "210");
  EXPECT_EQ(s.WorkStates()[st::Cf].value, 210.0);
  EXPECT_EQ(s.NewStates()[st::Cf].value, 210.0);
  EXPECT_TRUE(s.FinalEvaluation());
  EXPECT_NE(s.WorkStates(), states);

  // Only entry fields can be committed.
  EXPECT_THROW(session.CommitEntry("Sc", "1"), std::invalid_argument);
  EXPECT_THROW(session.CommitEntry("Ca", "1"), std::invalid_argument);
  EXPECT_THROW(session.ChangeValue(QuantityKind::kState, 20, 1.0, false), std::out_of_range);
}

TEST_F(SteadyStateSessionTest, OkAndCancelSettleTheGlobalTables) {
  struct Case {
    const char* button;
    Answer answer;
    bool adoptsNewSet;
  };
  const Case cases[] = {
      {"OK", Answer::kOk, true},
      {"Cancel, keep", Answer::kNo, true},
      {"Cancel, discard", Answer::kYes, false},
  };
  for (const Case& c : cases) {
    SetUp();
    const statearray loaded = States;
    OpenInteractive();
    session.CommitEntry("Cst", "10500");
    const SteadyStateSolver& s = session.Solver();
    ASSERT_NE(s.NewStates(), loaded);
    if (c.answer == Answer::kOk) {
      session.Ok();
    } else {
      prompter.QueueAnswer(c.answer);
      EXPECT_EQ(session.Cancel(), c.answer);
      ExpectShown(prompter.messages.size() - 1, MessageKind::kConfirmation, MessageButtons::kYesNo,
                  "Discard all changes made in this window since the last save?");
    }
    EXPECT_EQ(States == s.NewStates(), c.adoptsNewSet) << c.button;
    EXPECT_EQ(Params == s.NewParams(), c.adoptsNewSet) << c.button;
    EXPECT_EQ(Processes == s.NewProcesses(), c.adoptsNewSet) << c.button;
    EXPECT_EQ(States == loaded, !c.adoptsNewSet) << c.button;
    EXPECT_FALSE(s.WindowShown()) << c.button;
    EXPECT_FALSE(s.InsolubleCNCheck()) << c.button;
  }
}

TEST_F(SteadyStateSessionTest, SaveAsksOncePerOpeningAndCancelRestoresTheLastSave) {
  drivers[drv::Ca].value = 360;
  OpenInteractive();
  const drivearray modelDrivers = Drivers;
  int writes = 0;
  const auto write = [&writes] { ++writes; };

  prompter.QueueAnswer(Answer::kNo);
  EXPECT_FALSE(session.SaveParamFile(write));
  EXPECT_EQ(writes, 0);
  ExpectShown(0, MessageKind::kConfirmation, MessageButtons::kYesNo,
              "Overwrite existing parameter file?");
  ExpectShown(1, MessageKind::kWarning, MessageButtons::kOk, "No values saved.");

  session.CommitEntry("Cst", "10500");
  const SteadyStateSolver& s = session.Solver();
  EXPECT_TRUE(session.SaveParamFile(write));  // answered Yes
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(States, s.NewStates());
  EXPECT_EQ(s.LastSavedParams(), s.NewParams());
  const statearray saved = s.NewStates();

  session.CommitEntry("Cst", "10600");
  const std::size_t asked = prompter.messages.size();
  EXPECT_TRUE(session.SaveParamFile(write));
  EXPECT_EQ(prompter.messages.size(), asked);  // confirmed already
  EXPECT_EQ(writes, 2);

  session.CommitEntry("Cst", "10700");
  prompter.QueueAnswer(Answer::kYes);
  session.Cancel();
  EXPECT_EQ(States, s.LastSavedStates());
  EXPECT_NE(States, saved);
  // Drivers and processes of the opening: the model's, not the looked-up ones.
  EXPECT_EQ(Drivers, modelDrivers);
  EXPECT_EQ(Drivers[drv::Ca].value, 350);
}

TEST_F(SteadyStateSessionTest, FieldsBindToTheirKindsAndEntryFieldsAreFoundBySymbol) {
  struct Case {
    const char* symbol;
    bool entry;
  };
  const Case cases[] = {{"Ps", true},  {"Nh", true},  {"p", true},    {"ps", false},
                        {"Sc", false}, {"Sp", false}, {"aNf", false}, {"", false}};
  for (const Case& c : cases) EXPECT_EQ(FindEntryField(c.symbol) != nullptr, c.entry) << c.symbol;
  const std::vector<std::string_view> entries = EntryFieldSymbols();
  EXPECT_EQ(entries.size(), 83u);  // every distinct entry of the example site's recipe
  EXPECT_EQ(entries.front(), "Cf");

  // A session made after the catalogue binds every field.
  const SteadyStateSession bound;
  for (const BoundField& b : bound.Fields()) EXPECT_GT(b.index, 0) << b.field->symbol;
  const BoundField& sp = bound.Fields()[FieldPosition("Sp", QuantityKind::kDriver)];
  EXPECT_EQ(sp.index, drv::Sp);
  EXPECT_EQ(FieldComponentName(*sp.field), "MeDriveSp");
  EXPECT_EQ(FieldComponentName(*FindEntryField("aTCW")), "MePar_aTCW");

  // Made before the catalogue, a session binds at its opening.
  ModelDef = TModelDef{};
  SteadyStateSession early;
  EXPECT_EQ(early.Fields()[0].index, 0);
  SetUp();
  ASSERT_TRUE(early.Open(drivers));
  EXPECT_EQ(early.Fields()[0].index, st::Cf);
}

}  // namespace
}  // namespace kvsorv::testing
