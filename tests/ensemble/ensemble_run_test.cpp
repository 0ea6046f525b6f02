// Ensemble runs: a member's values depend only on the plan, the design and its index (any
// thread count, any shard layout), it equals a plain run of its parameter file, and it holds no
// state of the program's tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ensemble/design_file.h"
#include "ensemble/ensemble_runner.h"
#include "ensemble/plan.h"
#include "files/number_text.h"
#include "files/param_file.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "program_run/simulation_run.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "tasks/feedback.h"

namespace kvsorv::ensemble {
namespace {

class EnsembleRunTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) dir.CopyExample(f);
    dir.Write("plan.toml",
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1640\n"
              "members = 6\nseed = 3\n"
              "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 70\nmax = 90\n"
              "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"normal\"\nmean = 2\nsd = 0.2\n"
              "[[output]]\nsymbol = \"Cf\"\ntimes = [1610, 1640]\n"
              "[[output]]\nsymbol = \"NEP\"\nyearly = true\n");
    plan = ReadPlan(dir.File("plan.toml"));
    site = LoadSite(plan);
    design = SampleDesign(plan, Method::kMonteCarlo);
  }

  std::vector<std::vector<double>> Run(const std::string& name, int threads,
                                       const std::vector<std::vector<std::size_t>>& shards) {
    ResultsFile results = ResultsFile::Create(dir.File(name), plan, site, design, "test");
    for (const auto& members : shards) RunMembers(plan, site, design, members, threads, results);
    std::vector<std::vector<double>> values;
    for (std::size_t m = 0; m < results.Members(); ++m)
      values.push_back(results.ReadMember(m).values);
    return values;
  }

  testing::TempWorkDir dir;
  testing::ScriptedPrompter prompter;
  EnsemblePlan plan;
  EnsembleSite site;
  Design design;
};

// Bitwise equality that counts two NaNs (nothing recorded) as equal.
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  return true;
}

TEST_F(EnsembleRunTest, MembersAreTheSameForAnyThreadsAndShards) {
  const auto alone = Run("one.nc", 1, {ShardMembers(6, 1, 1)});
  const auto sharded =
      Run("shards.nc", 2, {ShardMembers(6, 2, 3), ShardMembers(6, 1, 3), ShardMembers(6, 3, 3)});
  ASSERT_EQ(alone.size(), 6u);
  for (std::size_t m = 0; m < 6; ++m) EXPECT_TRUE(SameBits(alone[m], sharded[m])) << m;
  EXPECT_FALSE(std::isnan(alone[0][1]));  // NEP at the first line
  EXPECT_TRUE(std::isnan(alone[0][0]));   // Cf only at 1610 and 1640
}

TEST_F(EnsembleRunTest, AMemberEqualsAPlainRunOfItsParameterFile) {
  const std::size_t m = 4;
  const std::vector<double> parameters = MemberParameters(design.rows[m]);
  const MemberResult member = RunMember(plan, site, parameters);
  ASSERT_FALSE(member.failed) << member.error;

  // The member's parameter file, then the program's own run of it.
  double residual = 0.0;
  ReadParamFile(dir.File("cell1.par"), ModelDef.numparam, Params, ModelDef.numstate, States,
                residual);
  for (std::size_t j = 0; j < parameters.size(); ++j)
    Params[plan.parameters[j].index].value = parameters[j];
  WriteParamFile(dir.File("member.par"), ModelDef.numparam, Params, 0, States, ModelDef.numstate);
  ReadParamFile(dir.File("member.par"), ModelDef.numparam, Params, ModelDef.numstate, States,
                residual);
  RunSettings.DriverFileName = dir.File("cell1.drr");
  RunSettings.OutputFileName = dir.File("member.out");
  RunSettings.StartTime = 1590;
  RunSettings.StopTime = 1640;
  RunObserver quiet;
  ASSERT_TRUE(ExecuteRun(quiet));

  // NEP (the second variable) at every line, as the output file writes it.
  std::istringstream out(dir.Read("member.out"));
  std::string line;
  std::getline(out, line);
  std::getline(out, line);
  const int nepColumn = 1 + ModelDef.numdrivers + ModelDef.numstate + proc::NEP;
  for (std::size_t t = 0; std::getline(out, line); ++t) {
    std::istringstream fields(line);
    std::vector<std::string> tokens{std::istream_iterator<std::string>(fields), {}};
    char text[40] = {};
    *AppendScientific13(text, member.values[t * 2 + 1]) = '\0';
    EXPECT_EQ(tokens.at(static_cast<std::size_t>(nepColumn) - 1), text) << "line " << t;
  }
}

TEST_F(EnsembleRunTest, StatesHeldInTheProgram_AreNotHeldInTheMembers) {
  const MemberResult plain = RunMember(plan, site, MemberParameters(design.rows[0]));
  for (int i = 1; i <= ModelDef.numstate; ++i) States[i].HoldConstant = true;
  const EnsembleSite again = LoadSite(plan);
  for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_FALSE(again.base.states[i].HoldConstant) << i;
  EXPECT_TRUE(
      SameBits(RunMember(plan, again, MemberParameters(design.rows[0])).values, plain.values));
}

TEST_F(EnsembleRunTest, DoneMemberLackingAKeptValue_CountsMissingAndIsRunAgain) {
  {
    ResultsFile results = ResultsFile::Create(dir.File("r.nc"), plan, site, design, "test");
    RunMembers(plan, site, design, {0, 1, 2}, 1, results);
    // Member 1 done, but its Cf at 1610 lost (as a fault of the disk leaves it); member 2 done
    // with NaN where the plan keeps nothing (Cf between its two times): whole.
    MemberResult damaged = results.ReadMember(1);
    const auto line = std::find(site.times.begin(), site.times.end(), 1610.0);
    ASSERT_NE(line, site.times.end());
    const auto at1610 = static_cast<std::size_t>(line - site.times.begin());
    ASSERT_FALSE(std::isnan(damaged.values[at1610 * site.variables.size()]));
    damaged.values[at1610 * site.variables.size()] = std::nan("");
    results.WriteMember(1, MemberParameters(design.rows[1]), damaged);
    results.Close();
  }
  const ResultsFile results = ResultsFile::OpenToRead(dir.File("r.nc"));
  EXPECT_EQ(results.DoneWithoutValues(), std::vector<std::size_t>{1});
  EXPECT_EQ(results.CheckedStatuses()[1], MemberStatus::kMissing);
  EXPECT_EQ(UnfinishedMembers(results, {0, 1, 2, 3}, false), (std::vector<std::size_t>{1, 3}));
}

TEST_F(EnsembleRunTest, Canceled_KeepsTheMembersFinishedAndStartsNoOther) {
  ResultsFile results = ResultsFile::Create(dir.File("r.nc"), plan, site, design, "test");
  Feedback feedback;
  const EnsembleTally tally = RunMembers(plan, site, design, ShardMembers(6, 1, 1), 1, results,
                                         &feedback, [&](std::size_t member, const MemberResult&) {
                                           if (member == 1) feedback.Cancel();
                                         });
  EXPECT_EQ(tally.done + tally.failed, 2u);
  EXPECT_EQ(feedback.Progress().done, 2u);
  EXPECT_EQ(feedback.Progress().total, 6u);
  EXPECT_EQ(UnfinishedMembers(results, ShardMembers(6, 1, 1), false),
            (std::vector<std::size_t>{2, 3, 4, 5}));
}

}  // namespace
}  // namespace kvsorv::ensemble
