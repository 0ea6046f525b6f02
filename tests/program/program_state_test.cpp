// The ground floor: the one reset of the shared state, and the notifier the windows listen to.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/change_notifier.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/program_state.h"
#include "program/run_modes.h"
#include "program/run_settings.h"

namespace kvsorv {
namespace {

TEST(ProgramState, ResetUndoesEverythingAProgramRunChanges) {
  ResetProgramState("/opt/kvsorv");
  RunSettings.StopTime = 2000;
  RunSettings.ParamsModified = true;
  States[1].value = 5;
  Params[1].name = "changed";
  WaterCoefficient = 10;
  MainDriverReader.nextTime = 7;

  ResetProgramState("/usr/bin/MODELBATCH.exe");
  EXPECT_EQ(RunSettings.StopTime, 2.0);
  EXPECT_FALSE(RunSettings.ParamsModified);
  EXPECT_EQ(RunModes, (TRunModes{.ModelBatchMode = true}));
  EXPECT_EQ(States[1].value, 0.0);
  EXPECT_EQ(Params[1].name, "Site Latitude") << "the catalogue is built again";
  EXPECT_EQ(WaterCoefficient, 0.0);
  EXPECT_EQ(MainDriverReader.nextTime, 0.0);
  EXPECT_EQ(MainDriverReader.nextRecord[1].name, Drivers[1].name);

  ResetProgramState();
  EXPECT_EQ(RunModes, TRunModes{});
}

TEST(ChangeNotifier, ListenersHearInOrderUntilTheirSubscriptionEnds) {
  ChangeNotifier notifier;
  std::vector<std::string> heard;
  ChangeNotifier::Subscription second;
  auto first = notifier.Subscribe([&](const TableChange& c) {
    heard.push_back(c.states ? "first: states" : "first: other");
    second.Reset();  // a listener may end another's subscription while being called
  });
  second = notifier.Subscribe([&](const TableChange&) { heard.push_back("second"); });
  {
    auto third = notifier.Subscribe([&](const TableChange&) { heard.push_back("third"); });
    notifier.Notify({.states = true});
  }
  notifier.Notify({.processes = true});
  first.Reset();
  notifier.Notify({.states = true});
  EXPECT_EQ(heard, (std::vector<std::string>{"first: states", "third", "first: other"}));
}

}  // namespace
}  // namespace kvsorv
