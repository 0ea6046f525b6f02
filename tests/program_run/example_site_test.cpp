// The bundled example site: calibrated to a steady state, and staying there in a run.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/driver_file.h"
#include "files/param_file.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "program/program_files.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

class ExampleSiteTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    double residual = 0.0;
    ASSERT_TRUE(ReadParamFile((testing::TempWorkDir::ExamplesDir() / "cell1.par").string(),
                              ModelDef.numparam, Params, ModelDef.numstate, States, residual));
  }
  testing::ScriptedPrompter prompter;
};

TEST_F(ExampleSiteTest, IsSteadyUnderTheCalibrationClimate) {
  LookupDriversAt((testing::TempWorkDir::ExamplesDir() / "cell1.drr").string(), Drivers, 0.0, 2.0);
  WaterCoefficient = 10.0;
  ComputeProcesses(Drivers, Params, States, Processes, 0.0);
  for (int i = 1; i <= ModelDef.numstate; ++i)
    EXPECT_LE(std::fabs(Processes[i].value), 1e-8) << Processes[i].symbol;
  // A run of cell 1 starts from the same humus pools.
  EXPECT_NEAR(States[st::Ch].value, InitialHumusCarbon(1), 1e-9 * InitialHumusCarbon(1));
}

TEST_F(ExampleSiteTest, StaysWithinATenthOfAPercentOverACentury) {
  testing::TempWorkDir dir;
  // Constant drivers: the calibration climate as the only record.
  const std::string climate = "Time\r\nyear\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n";
  dir.Write("cell1.drr", climate);
  dir.Write("cell1b.drr", climate);
  const statearray start = States;
  RunSettings.StartTime = 0;
  RunSettings.StopTime = 100;
  RunSettings.DriverFileName = dir.File("cell1.drr");
  RunSettings.OutputFileName = dir.File("cell1.out");
  RunObserver quiet;
  ASSERT_TRUE(ExecuteRun(quiet));
  for (int i = 1; i <= ModelDef.numstate; ++i)
    EXPECT_NEAR(States[i].value, start[i].value, 1e-3 * std::fabs(start[i].value))
        << States[i].symbol;
}

}  // namespace
}  // namespace kvsorv
