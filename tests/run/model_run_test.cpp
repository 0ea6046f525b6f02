// The run as a value: runs side by side on threads give what each gives alone, and it
// touches no global table.

#include "run/model_run.h"
#include "program/program_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "files/driver_series.h"
#include "files/param_file.h"
#include "model/errors.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "run/cell_chain.h"
#include "support/model_fixture.h"
#include "support/temp_dir.h"
#include "tasks/feedback.h"

namespace kvsorv {
namespace {

// Keeps every number the run hands over, in order.
class RecordingSink : public RunSink {
 public:
  void OutputLine(double time, const drivearray& d, const statearray& s,
                  const processarray& p) override {
    numbers.push_back(time);
    for (int i = 1; i <= kNumDrivers; ++i) numbers.push_back(d[i].value);
    for (int i = 1; i <= kNumStates; ++i) numbers.push_back(s[i].value);
    for (int k = 1; k <= kNumProcesses; ++k) numbers.push_back(p[k].value);
  }
  void NextCellRecord(double time, const drivearray& d) override {
    numbers.push_back(time);
    for (int i = 1; i <= kNumDrivers; ++i) numbers.push_back(d[i].value);
  }
  std::vector<double> numbers;
};

class ModelRunTest : public testing::ModelTest {
 protected:
  RunInputs ExampleInputs(int cell, double stop) {
    const auto examples = testing::TempWorkDir::ExamplesDir();
    double residual = 0.0;
    ReadParamFile((examples / "cell1.par").string(), ModelDef.numparam, Params, ModelDef.numstate,
                  States, residual);
    RunInputs in;
    in.states = States;
    in.params = Params;
    in.drivers = Drivers;
    in.processes = Processes;
    in.times = {.start = 1500, .stop = stop};
    in.cellNumber = cell;
    in.mainDrivers = std::make_shared<DriverSeries>(
        ReadDriverSeries((examples / "cell1.drr").string(), ModelDef.numdrivers));
    in.baseDrivers = std::make_shared<DriverSeries>(
        ReadDriverSeries((examples / "cell1b.drr").string(), ModelDef.numdrivers));
    return in;
  }
};

TEST_F(ModelRunTest, RunsOnTwoThreadsGiveWhatEachGivesAlone) {
  const RunInputs first = ExampleInputs(1, 1900);
  RunInputs second = ExampleInputs(7, 1900);
  second.params[1].value *= 1.1;  // another parameter set on the same driver series
  second.mainDrivers = first.mainDrivers;

  RecordingSink firstAlone, secondAlone, firstBeside, secondBeside;
  const statearray globalStates = States;
  RunModel(first, firstAlone);
  RunModel(second, secondAlone);
  std::thread a([&] { RunModel(first, firstBeside); });
  std::thread b([&] { RunModel(second, secondBeside); });
  a.join();
  b.join();

  EXPECT_EQ(firstBeside.numbers, firstAlone.numbers);  // exactly, bit for bit
  EXPECT_EQ(secondBeside.numbers, secondAlone.numbers);
  EXPECT_NE(firstAlone.numbers, secondAlone.numbers);
  EXPECT_EQ(States, globalStates);  // no global table was touched
  EXPECT_EQ(WaterCoefficient, 0.0);
}

TEST_F(ModelRunTest, FailureInTheStepLoopComesBackWithTheLastCompletedStep) {
  RunInputs in = ExampleInputs(1, 1700);
  // From 1601 on the maximum temperature is the respiration optimum: log(0) in that step.
  testing::TempWorkDir dir;
  dir.Write("hot.drr",
            "h\r\nh\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n1601 350 45 45 18 1.1 0.8 180 150 1\r\n");
  in.mainDrivers =
      std::make_shared<DriverSeries>(ReadDriverSeries(dir.File("hot.drr"), ModelDef.numdrivers));
  RecordingSink sink;
  const RunOutcome outcome = RunModel(in, sink);
  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failureMessage, "Floating point division by zero");
  EXPECT_EQ(outcome.presentTime, 1601.0);  // the step from 1601 failed
  EXPECT_THROW(std::rethrow_exception(outcome.failure), EZeroDivide);
}

TEST_F(ModelRunTest, CanceledHalfWay_EndsWithTheCancellationAndHandsOnOnlyTheStepsTaken) {
  const RunInputs in = ExampleInputs(1, 1900);
  RecordingSink whole, part;
  RunModel(in, whole);
  Feedback feedback;
  std::vector<std::size_t> heard;
  feedback.OnProgress([&](const FeedbackProgress& p) {
    heard.push_back(p.done);
    if (p.done >= 50) feedback.Cancel();  // at the step from 1700
  });
  const RunOutcome outcome = RunModel(in, part, &feedback);
  ASSERT_TRUE(outcome.failure);
  EXPECT_THROW(std::rethrow_exception(outcome.failure), ERunCanceled);
  EXPECT_EQ(outcome.failureMessage, kRunCanceledMessage);
  EXPECT_NEAR(outcome.presentTime, 1701.0, 1e-9);  // no step from 1701
  EXPECT_EQ(heard.front(), 0u);
  EXPECT_EQ(heard.back(), 50u);
  ASSERT_LT(part.numbers.size(), whole.numbers.size());
  EXPECT_TRUE(std::equal(part.numbers.begin(), part.numbers.end(), whole.numbers.begin()));
}

TEST_F(ModelRunTest, ChainCanceledInItsSecondCell_KeepsTheFirstAndFailsTheSecond) {
  RecordingSink sink;
  Feedback feedback;
  FeedbackProgress last;
  feedback.OnProgress([&](const FeedbackProgress& p) {
    last = p;
    if (p.done >= 150) feedback.Cancel();  // half-way through the second cell
  });
  const auto outcomes = RunCellChain(
      ExampleInputs(1, 1700), 3, [&](int) -> RunSink& { return sink; }, &feedback);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_FALSE(outcomes[0].failure);
  EXPECT_EQ(outcomes[1].failureMessage, kRunCanceledMessage);
  EXPECT_EQ(last.done, 150u);
  EXPECT_EQ(last.total, 300u);
  EXPECT_EQ(feedback.Message(), "cell 2");
}

}  // namespace
}  // namespace kvsorv
