// The example forest's calibration recipe, followed entry by entry in the steady-state
// session, ends at a steady state.

#include <gtest/gtest.h>

#include <cstdio>

#include "example_site_calibration.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv::testing {
namespace {

class ExampleSiteCalibration : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    WaterCoefficient = 10.0;  // as every run uses
    FillExampleDrivers(drivers);
    session.SetModes({.InteractiveMode = true});
    prompter.QueueAnswer(Answer::kNo);  // "Calculate steady state now?"
    ASSERT_TRUE(session.Open(drivers));
    ASSERT_TRUE(session.OfferSolve());
  }

  ScriptedPrompter prompter;
  drivearray drivers;
  SteadyStateSession session;
};

TEST_F(ExampleSiteCalibration, EndsSteadyWithEveryRateBelowOneInATrillion) {
  const CalibrationOutcome out = CalibrateExampleSite(session);
  std::printf("example site: %d solves (%d after the closing entries), largest rate %.3g\n",
              out.solves, out.repeatSolves, out.largestRate);
  EXPECT_TRUE(out.steady);
  EXPECT_LE(out.repeatSolves, 10);
  // The site's promise: steady to rounding, far inside the window's 1e-8.
  EXPECT_LT(out.largestRate, 1e-12);
  EXPECT_TRUE(session.InvalidFields().empty());
  EXPECT_TRUE(session.GroupBoxesEnabled());
  // The only message was the opening's question: no solve failed.
  EXPECT_EQ(prompter.messages.size(), 1u) << prompter.messages.back().text;

  // The derived humus C is the cell's, to the rounding of the sums that give it.
  const SteadyStateSolver& s = session.Solver();
  EXPECT_NEAR(s.NewStates()[st::Ch].value, kExampleCellHumusC, 1e-9);
  EXPECT_NEAR(s.NewStates()[st::Nh].value, kExampleCellHumusC / 22.55542, 1e-12);

  // Solving again from the calibrated values stays steady.
  session.UpdateForm(true);
  EXPECT_TRUE(session.StatusGreen());
}

}  // namespace
}  // namespace kvsorv::testing
