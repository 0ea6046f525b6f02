// Complete runs on small driver files: what lands in the output file, the scratch driver file
// and the next cell's driver file, the cell rules, and the failure paths.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/driver_file.h"
#include "model/errors.h"
#include "model/model_indices.h"
#include "program/change_notifier.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

// Rows of numbers of a driver or output file, header lines skipped.
std::vector<std::vector<double>> DataRows(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(text);
  std::string line;
  for (int n = 0; std::getline(in, line); ++n) {
    if (n < 2) continue;
    std::istringstream fields(line);
    std::vector<double> row;
    for (double x; fields >> x;) row.push_back(x);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

std::vector<double> Times(const std::vector<std::vector<double>>& rows) {
  std::vector<double> t;
  for (const auto& r : rows) t.push_back(r.at(0));
  return t;
}

// Records the lifecycle, and the progress its feedback hears.
class RecordingObserver : public RunObserver {
 public:
  RecordingObserver() {
    feedback.OnProgress(
        [this](const FeedbackProgress& p) { progress.push_back(static_cast<int>(p.done)); });
  }
  void RunStarting() override { events.push_back("start"); }
  void RunCompleted() override { events.push_back("completed"); }
  void RunFailed(const std::string& message) override { events.push_back("failed: " + message); }
  void RunAborted() override { events.push_back("aborted"); }
  std::vector<std::string> events;
  std::vector<int> progress;
  Feedback feedback;
};

// Two driver records a step apart; both the cell's file and the base file.
constexpr const char* kDrivers =
    "Time CO2\r\nyear ppmv\r\n"
    "0 350 21 9 18 1.1 0.8 180 150 1\r\n"
    "1850 350 21 9 18 1.1 0.8 180 150 1\r\n";

class SimulationRunTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    // Every state held: the run's bookkeeping is tested on constant pools, quickly.
    for (int i = 1; i <= ModelDef.numstate; ++i) States[i].HoldConstant = true;
    RunModes.InteractiveMode = true;
    dir.Write("cell1.drr", kDrivers);
    dir.Write("cell1b.drr", kDrivers);
    UseDriverFile("cell1.drr");
    RunSettings.OutputFileName = dir.File("run.out");
  }
  void UseDriverFile(const std::string& name) {
    if (name != "cell1.drr") dir.Write(name, kDrivers);
    RunSettings.DriverFileName = dir.File(name);
  }
  void SetTimes(double start, double stop, double step, double outputStep) {
    RunSettings.StartTime = start;
    RunSettings.StopTime = stop;
    RunSettings.TimeStep = step;
    RunSettings.OutputStep = outputStep;
  }

  testing::TempWorkDir dir;
  testing::ScriptedPrompter prompter;
  RecordingObserver observer;
  int changes = 0;
  ChangeNotifier::Subscription counting =
      TableChanges().Subscribe([this](const TableChange&) { ++changes; });
};

TEST(CellFiles, NumberAndNextFileFromTheDriverFileName) {
  struct Case {
    const char* driverFile;
    int cell;
    const char* next;
  };
  const Case cases[] = {
      {"cell7.drr", 7, "cell8.drr"},
      {"/data/site/cell1.drr", 1, "/data/site/cell2.drr"},
      {"/d/cell49.drr", 49, "/d/cell50.drr"},
      {"plot12.drr", 12, "cell13.drr"},  // the first four characters, whatever they are
      {"cell3", 3, "cell4.drr"},
  };
  for (const auto& c : cases) {
    const CellFiles f = GetNextDriverFilename(c.driverFile);
    EXPECT_EQ(f.cellNumber, c.cell) << c.driverFile;
    EXPECT_EQ(f.nextDriverFileName, c.next) << c.driverFile;
  }
  for (const char* bad :
       {"site.drr", "cell.drr", "cellx1.drr", "cell1 .drr", "cel.drr", "cell99999999999.drr"})
    EXPECT_THROW(GetNextDriverFilename(bad), EConvertError) << bad;
  try {
    GetNextDriverFilename("/x/site.drr");
  } catch (const EConvertError& e) {
    // The conversion's own text, with a line before it saying what the name should be.
    EXPECT_STREQ(e.what(),
                 "Driver file '/x/site.drr': its name must be \"cell\" followed by the cell "
                 "number (for example cell1.drr).\n'' is not a valid integer value");
  }
}

TEST(CellFiles, InitialHumusFromTheCellFactor) {
  // f = 1, 2 and 1.4 for cells 1, 6 and 3; 1e-9 relative covers the rounding of f^2 terms.
  struct Case {
    int cell;
    double f;
  };
  for (const Case c : {Case{1, 1.0}, Case{6, 2.0}, Case{3, 1.4}}) {
    const double expected = 5.1558 * c.f * c.f + 649.24 * c.f + 8013.2;
    EXPECT_NEAR(InitialHumusCarbon(c.cell), expected, 1e-9 * expected) << c.cell;
  }
  EXPECT_EQ(InitialHumusCarbon(1), 5.1558 + 649.24 + 8013.2);
}

TEST_F(SimulationRunTest, ShortRunBeforeTheRecordingYears) {
  SetTimes(0, 2, 1, 1);
  ASSERT_TRUE(ExecuteRun(observer, &observer.feedback));
  // The output holds only the line at the start time: no step begins at 1600 or later.
  EXPECT_EQ(Times(DataRows(dir.Read("run.out"))), (std::vector<double>{0}));
  EXPECT_EQ(Times(DataRows(dir.Read("dummyfile"))), (std::vector<double>{0, 1}));
  const auto next = DataRows(dir.Read("cell2.drr"));
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0], (std::vector<double>{1600, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(RunSettings.CellNumber, 1);
  EXPECT_EQ(RunSettings.NextDriverFileName, dir.File("cell2.drr"));
  EXPECT_TRUE(RunSettings.OutputAvailable);
  EXPECT_EQ(RunSettings.DisplayFileName, RunSettings.OutputFileName);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"start", "completed"}));
  EXPECT_EQ(observer.progress, (std::vector<int>{0, 50}));
  EXPECT_EQ(changes, 1);  // the windows hear of the new states, drivers and processes
  EXPECT_EQ(WaterCoefficient, 10.0);
  // Completion leaves the clock at the last scratch record and the drivers at its values.
  EXPECT_EQ(RunSettings.PresentTime, 1.0);
  // Each output line: time, 9 drivers, 19 states, 126 processes; each field 21 characters.
  const std::string out = dir.Read("run.out");
  EXPECT_EQ(out.find("\r\n"), 155u * 21u);
}

TEST_F(SimulationRunTest, RecordingStartsAt1600) {
  SetTimes(1590, 1610, 1, 1);
  ASSERT_TRUE(ExecuteRun(observer));
  std::vector<double> expected{1590};
  for (int t = 1601; t <= 1610; ++t) expected.push_back(t);
  EXPECT_EQ(Times(DataRows(dir.Read("run.out"))), expected);
  std::vector<double> nextTimes;
  for (int t = 1600; t <= 1609; ++t) nextTimes.push_back(t);
  const auto next = DataRows(dir.Read("cell2.drr"));
  EXPECT_EQ(Times(next), nextTimes);
  // The next cell gets the base precipitation and deposition plus this cell's losses.
  const double qw = Processes[proc::Qw].value;
  const double qnh4 = Processes[proc::Qnh4].value;
  EXPECT_NEAR(next[0][drv::Ppt], 1.1 + qw, 1e-12);  // 13 digits in the file
  EXPECT_NEAR(next[0][drv::Dnh4], 0.8 + qnh4, 1e-12);
  EXPECT_EQ(next[0][drv::Ca], 350.0);
}

TEST_F(SimulationRunTest, OutputEveryFifthStep) {
  SetTimes(1600, 1620, 1, 5);
  ASSERT_TRUE(ExecuteRun(observer));
  // Scratch records carry the begin time of each fifth step, output lines its end time.
  EXPECT_EQ(Times(DataRows(dir.Read("dummyfile"))), (std::vector<double>{1604, 1609, 1614, 1619}));
  EXPECT_EQ(Times(DataRows(dir.Read("run.out"))),
            (std::vector<double>{1600, 1605, 1610, 1615, 1620}));
}

TEST_F(SimulationRunTest, NoPartialLastStep) {
  SetTimes(0, 1, 0.4, 0.4);
  ASSERT_TRUE(ExecuteRun(observer));
  EXPECT_EQ(Times(DataRows(dir.Read("dummyfile"))), (std::vector<double>{0, 0.4}));
}

TEST_F(SimulationRunTest, CellFiftyGetsFixedDepositionAfter1650) {
  UseDriverFile("cell50.drr");
  SetTimes(1649, 1653, 1, 1);
  ASSERT_TRUE(ExecuteRun(observer));
  const auto rows = DataRows(dir.Read("run.out"));
  ASSERT_EQ(rows.size(), 5u);          // 1649, then 1650 .. 1653
  EXPECT_EQ(rows[1][drv::Dnh4], 0.8);  // step from 1649
  EXPECT_EQ(rows[2][drv::Dnh4], 0.8);  // step from 1650: not after 1650
  EXPECT_EQ(rows[3][drv::Dnh4], 5.0);  // step from 1651
  // The next cell's file carries the base deposition plus the leaching, not the fixed value.
  const auto next = DataRows(dir.Read("cell51.drr"));
  ASSERT_FALSE(next.empty());
  EXPECT_NEAR(next.back()[drv::Dnh4], 0.8 + Processes[proc::Qnh4].value, 1e-12);
  const double f = (50 - 1) / 5.0 + 1;
  EXPECT_NEAR(States[st::Ch].value, 5.1558 * f * f + 649.24 * f + 8013.2, 1e-9);
}

TEST_F(SimulationRunTest, SecondRunContinuesButResetsHumus) {
  States[st::Cw].HoldConstant = false;  // wood grows steadily while the rest is held
  SetTimes(0, 3, 1, 1);
  ASSERT_TRUE(ExecuteRun(observer));
  const double woodAfterFirst = States[st::Cw].value;
  EXPECT_GT(woodAfterFirst, 10000.0);
  States[st::Ch].value = 1.0;
  States[st::Nh].value = 1.0;
  RunSettings.TimeStep = 1.0;
  ASSERT_TRUE(ExecuteRun(observer));
  // The second run starts from the first run's final wood (its first output line holds the
  // starting states, to the file's 13 significant digits).
  const auto rows = DataRows(dir.Read("run.out"));
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR(rows[0][9 + st::Cw], woodAfterFirst, 1e-12 * woodAfterFirst);
  EXPECT_GT(States[st::Cw].value, woodAfterFirst);
  EXPECT_EQ(States[st::Ch].value, InitialHumusCarbon(1));
  EXPECT_EQ(States[st::Nh].value, InitialHumusCarbon(1) / 22.55542);
}

TEST_F(SimulationRunTest, TimeStepTakenFromItsFieldAtTheEnd) {
  SetTimes(0, 2, 1, 1);
  RunSettings.TimeStepText = "0.5";
  ASSERT_TRUE(ExecuteRun(observer));
  EXPECT_EQ(RunSettings.TimeStep, 0.5);
}

TEST_F(SimulationRunTest, TimeStepThatCannotAdvanceTheClockIsRefused) {
  // Such a step would never end the run.
  for (const double step : {0.0, -1.0, 1e-99}) {
    SetTimes(1590, 1610, step, 1);
    try {
      ExecuteRun(observer);
      FAIL() << step;
    } catch (const ERunTimeError& e) {
      EXPECT_STREQ(e.what(), "Time step is too small to advance the run clock.");
    }
    EXPECT_TRUE(observer.events.empty());
    EXPECT_FALSE(RunSettings.OutputAvailable);
  }
}

TEST_F(SimulationRunTest, MissingDriverFileRestoresEverything) {
  SetTimes(0, 2, 1, 1);
  RunSettings.DriverFileName = dir.File("cell9.drr");
  const statearray statesBefore = States;
  const drivearray driversBefore = Drivers;
  EXPECT_THROW(ExecuteRun(observer), EInOutError);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "Cannot read driver file. File does not exist.");
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"start", "aborted"}));
  EXPECT_EQ(States, statesBefore);
  EXPECT_EQ(Drivers, driversBefore);
  EXPECT_EQ(WaterCoefficient, 0.0);
  EXPECT_EQ(RunSettings.CellNumber, 0);
  EXPECT_FALSE(RunSettings.OutputAvailable);
  EXPECT_FALSE(MainDriverChannel.IsOpen());
}

TEST_F(SimulationRunTest, FailedPreparationLeavesEveryExistingFileAsItWas) {
  struct Case {
    const char* driverFile;  // written unless it is to be missing
    bool missing;
  };
  for (const Case c : {Case{.driverFile = "site.drr", .missing = false},
                       Case{.driverFile = "cell1.drr", .missing = true}}) {
    SCOPED_TRACE(c.driverFile);
    SetTimes(0, 2, 1, 1);
    if (c.missing) {
      std::filesystem::remove(dir.File(c.driverFile));
      RunSettings.DriverFileName = dir.File(c.driverFile);
    } else {
      UseDriverFile(c.driverFile);
    }
    for (const char* kept : {"run.out", "dummyfile", "cell2.drr"}) dir.Write(kept, "earlier run");
    observer.events.clear();
    EXPECT_ANY_THROW(ExecuteRun(observer));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"start", "aborted"}));
    EXPECT_FALSE(RunSettings.OutputAvailable);
    for (const char* kept : {"run.out", "dummyfile", "cell2.drr"}) {
      EXPECT_EQ(dir.Read(kept), "earlier run") << kept;
      EXPECT_FALSE(std::filesystem::exists(dir.File(std::string(kept) + ".tmp"))) << kept;
    }
    dir.Write("cell1.drr", kDrivers);
  }
}

TEST_F(SimulationRunTest, OutputFileThatIsAlsoAnInputIsRefusedBeforeAnythingChanges) {
  dir.Write("p.par", "parameters");
  std::filesystem::create_directory(dir.File("sub"));
  std::filesystem::create_symlink(dir.File("cell1.drr"), dir.File("link.out"));
  struct Case {
    std::string output;
    std::string first;  // the two roles the message names, in this order
    std::string second;
  };
  const Case cases[] = {
      {dir.File("cell1.drr"), "the driver file", "the output file"},
      {dir.File("p.par"), "the parameter file", "the output file"},
      {dir.File("cell1b.drr"), "the base driver file", "the output file"},
      {dir.File("link.out"), "the driver file", "the output file"},
      {dir.File("sub/../cell1.drr"), "the driver file", "the output file"},
      {dir.File("dummyfile"), "the output file", "the scratch driver file"},
      {dir.File("cell2.drr"), "the output file", "the next cell's driver file"},
  };
  RunSettings.ParamFileName = dir.File("p.par");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    RunSettings.OutputFileName = c.output;
    try {
      ExecuteRun(observer);
      ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
      const std::string& m = e.Message();
      EXPECT_LT(m.find(c.first), m.find(c.second)) << m;
      EXPECT_NE(m.find(c.second), std::string::npos) << m;
      EXPECT_NE(m.find("'" + c.output + "'"), std::string::npos) << m;
    }
  }
  EXPECT_TRUE(observer.events.empty());
  EXPECT_EQ(dir.Read("cell1.drr"), kDrivers);
  EXPECT_EQ(dir.Read("p.par"), "parameters");
  EXPECT_FALSE(std::filesystem::exists(dir.File("dummyfile")));
}

TEST_F(SimulationRunTest, OutputFileThatCannotBeCreated) {
  SetTimes(0, 2, 1, 1);
  RunSettings.OutputFileName = dir.File("no/such/dir/run.out");
  EXPECT_THROW(ExecuteRun(observer), EInOutError);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"start", "aborted"}));
}

TEST_F(SimulationRunTest, FailureInTheLoopIsReportedAfterCompletion) {
  // The driver file turns the climate to a temperature at the respiration maximum at 1601:
  // the logarithm of zero in the respiration function stops the integration.
  dir.Write("cell1.drr",
            "h\r\nh\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n1601 350 45 45 18 1.1 0.8 180 150 1\r\n");
  SetTimes(1599, 1605, 1, 1);
  EXPECT_FALSE(ExecuteRun(observer));
  ASSERT_EQ(observer.events.size(), 3u);
  EXPECT_EQ(observer.events[1], "completed");
  EXPECT_EQ(observer.events[2], "failed: Floating point division by zero");
  EXPECT_TRUE(RunSettings.OutputAvailable);
  // Output up to the failure, and the next cell's file from the scratch records.
  EXPECT_EQ(Times(DataRows(dir.Read("run.out"))), (std::vector<double>{1599, 1601}));
  EXPECT_EQ(Times(DataRows(dir.Read("cell2.drr"))), (std::vector<double>{1600}));
}

TEST_F(SimulationRunTest, OutsideInteractiveModeFailuresArePassedOnAfterCompletion) {
  RunModes.InteractiveMode = false;
  dir.Write("cell1.drr",
            "h\r\nh\r\n0 350 21 9 18 1.1 0.8 180 150 1\r\n1601 350 45 45 18 1.1 0.8 180 150 1\r\n");
  SetTimes(1599, 1605, 1, 1);
  EXPECT_THROW(ExecuteRun(observer, &observer.feedback), EZeroDivide);
  // The observer hears of the run whatever the mode; only the failure is passed on instead.
  EXPECT_EQ(observer.events, (std::vector<std::string>{"start", "completed"}));
  EXPECT_FALSE(observer.progress.empty());
  EXPECT_TRUE(RunSettings.OutputAvailable);
  EXPECT_FALSE(dir.Read("cell2.drr").empty());
}

TEST_F(SimulationRunTest, CanceledHalfWay_IsAFailureAfterCompletionWithTheStepsTaken) {
  SetTimes(1598, 1606, 1, 1);
  observer.feedback.OnProgress([&](const FeedbackProgress& p) {
    if (p.done >= 50) observer.feedback.Cancel();  // the step from 1602 is the last taken
  });
  EXPECT_FALSE(ExecuteRun(observer, &observer.feedback));
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"start", "completed",
                                      std::string("failed: ") + kRunCanceledMessage}));
  // The output and the next cell's records of the steps taken, as a failure there leaves them.
  EXPECT_EQ(Times(DataRows(dir.Read("run.out"))), (std::vector<double>{1598, 1601, 1602, 1603}));
  EXPECT_EQ(Times(DataRows(dir.Read("cell2.drr"))), (std::vector<double>{1600, 1601, 1602}));
  EXPECT_NEAR(RunSettings.PresentTime, 1602.0, 1e-9);  // the last scratch record
  EXPECT_TRUE(RunSettings.OutputAvailable);
}

}  // namespace
}  // namespace kvsorv
