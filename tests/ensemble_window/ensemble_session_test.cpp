// The ensemble window's session: rows that make no parameter name themselves, a saved plan
// reads back as edited, a stopped run resumed equals an uninterrupted one, and the envelope
// so far is that of the members finished.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "analysis/envelope_over_time.h"
#include "charts/ensemble_figures.h"
#include "ensemble/results_file.h"
#include "ensemble_window/ensemble_session.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv::ensemble {
namespace {

class EnsembleSessionTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) dir.CopyExample(f);
  }

  // A short plan of the example site with `members` members.
  std::string WritePlan(const std::string& name, int members) {
    dir.Write(name,
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\n"
              "members = " +
                  std::to_string(members) +
                  "\nseed = 3\n"
                  "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 70\n"
                  "max = 90\n"
                  "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"normal\"\nmean = 2\n"
                  "sd = 0.2\n"
                  "[[correlation]]\na = \"mf\"\nb = \"Q10d\"\nrank = 0.3\n"
                  "[[output]]\nsymbol = \"Cf\"\ntimes = [1610, 1620]\n"
                  "[[output]]\nsymbol = \"NEP\"\nyearly = true\n");
    return dir.File(name);
  }

  // Every member's values as the results file holds them.
  static std::vector<std::vector<double>> Stored(const std::string& fileName) {
    const ResultsFile file = ResultsFile::OpenToRead(fileName);
    std::vector<std::vector<double>> values;
    for (std::size_t m = 0; m < file.Members(); ++m) values.push_back(file.ReadMember(m).values);
    return values;
  }

  testing::TempWorkDir dir;
  testing::ScriptedPrompter prompter;
};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  return true;
}

TEST_F(EnsembleSessionTest, RowThatMakesNoParameter_NamesItsRowAndWhatIsWrong) {
  struct Case {
    PlanRow row;
    std::string message;
  };
  const Case cases[] = {
      {{.symbol = "mf", .distribution = "normal", .arguments = {"80", "-1"}},
       "row 2 (mf): sd must be greater than 0"},
      {{.symbol = "mf", .distribution = "normal", .arguments = {"80", "abc"}},
       "row 2 (mf): sd 'abc' is not a number"},
      {{.symbol = "mf", .distribution = "triangular", .arguments = {"1", "", "3"}},
       "row 2 (mf): mode is missing"},
      {{.symbol = "mf", .distribution = "uniform", .arguments = {"5", "1"}},
       "row 2 (mf): min must be less than max"},
      {{.symbol = "mf", .distribution = "table", .arguments = {"1, 2 x"}},
       "row 2 (mf): 'x' in values is not a number"},
      {{.symbol = "mf", .distribution = "", .arguments = {}}, "row 2 (mf): choose a distribution"},
      {{.symbol = "nosuch", .distribution = "uniform", .arguments = {"1", "2"}},
       "row 2: 'nosuch' is no parameter of the model"},
      {{.symbol = "Q10d", .distribution = "uniform", .arguments = {"1", "2"}},
       "row 2 (Q10d): varies already in row 1"},
      {{.symbol = "mf", .distribution = "lognormal", .arguments = {"1e-3", "0.5"}}, ""},
  };
  for (const Case& c : cases) {
    const std::vector<PlanRow> rows = {
        {.symbol = "Q10d", .distribution = "uniform", .arguments = {"1.5", "2.5"}}, c.row};
    EXPECT_EQ(RowProblem(rows, 1), c.message) << c.row.symbol << " " << c.row.distribution;
    if (c.message.empty()) {
      EXPECT_NO_THROW(ParameterOf(rows, 1));
    } else {
      EXPECT_THROW(ParameterOf(rows, 1), EPlanError);
    }
  }
}

TEST_F(EnsembleSessionTest, SavedPlan_ReadsBackAsEdited) {
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
  session.SetRow(1, {.symbol = "Q10d",
                     .distribution = "truncated-normal",
                     .arguments = {"2", "0.1", "1.8", "2.2"}});
  session.AddRow();
  session.SetRow(2, {.symbol = "rg", .distribution = "table", .arguments = {"0.2 0.25, 0.3"}});
  session.SetMembers(12);
  session.SetSeed(99);
  EXPECT_TRUE(session.Changed());
  const EnsemblePlan edited = session.EditedPlan();

  std::filesystem::create_directory(dir.File("elsewhere"));
  ASSERT_TRUE(session.SavePlan(dir.File("elsewhere/saved.toml")));
  EXPECT_FALSE(session.Changed());
  const EnsemblePlan read = ReadPlan(dir.File("elsewhere/saved.toml"));
  ASSERT_EQ(read.parameters.size(), edited.parameters.size());
  for (std::size_t j = 0; j < read.parameters.size(); ++j) {
    EXPECT_EQ(read.parameters[j].index, edited.parameters[j].index);
    EXPECT_EQ(RowOf(read.parameters[j]), RowOf(edited.parameters[j])) << j;
  }
  EXPECT_EQ(read.members, 12);
  EXPECT_EQ(read.seed, 99u);
  EXPECT_EQ(std::filesystem::absolute(read.paramFile).lexically_normal(),
            std::filesystem::absolute(edited.paramFile).lexically_normal());
  ASSERT_EQ(read.correlations.size(), 1u);
  EXPECT_EQ(read.correlations[0].b, 1);
  EXPECT_DOUBLE_EQ(read.correlations[0].rho, 0.3);
  ASSERT_EQ(read.outputs.size(), 2u);
  EXPECT_EQ(read.outputs[0].times, (std::vector<double>{1610, 1620}));
  EXPECT_TRUE(read.outputs[1].everyLine);
  EXPECT_EQ(read.times.start, edited.times.start);
  EXPECT_EQ(read.times.stop, edited.times.stop);
}

TEST_F(EnsembleSessionTest, SaveWithBadRow_ReportsTheRowAndWritesNothing) {
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
  session.SetRow(0, {.symbol = "mf", .distribution = "uniform", .arguments = {"9", "1"}});
  EXPECT_FALSE(session.SavePlan(dir.File("bad.toml")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.toml")));
  ASSERT_FALSE(prompter.messages.empty());
  EXPECT_EQ(prompter.messages.back().text, "row 1 (mf): min must be less than max");
  EXPECT_FALSE(session.Run());  // unsaved edits are never run
  EXPECT_EQ(prompter.messages.back().text, kSaveBeforeRunMessage);
  // A table longer than a plan may list is not written over the plan saved before.
  const std::string before = dir.Read("plan.toml");
  std::string values;
  for (int i = 0; i <= 100000; ++i) values += std::to_string(i % 7) + " ";
  session.SetRow(0, {.symbol = "mf", .distribution = "table", .arguments = {values}});
  EXPECT_FALSE(session.SavePlan(dir.File("plan.toml")));
  EXPECT_EQ(prompter.messages.back().text.rfind("the plan is not written: ", 0), 0u)
      << prompter.messages.back().text;
  EXPECT_EQ(dir.Read("plan.toml"), before);
}

TEST_F(EnsembleSessionTest, StopThenResume_EqualsAnUninterruptedRun) {
  const int trajectories = static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
  const std::size_t members = 3 * static_cast<std::size_t>(trajectories);  // Morris, 2 parameters
  EnsembleSession whole;
  ASSERT_TRUE(whole.OpenPlan(WritePlan("whole.toml", trajectories)));
  whole.SetMethod(Method::kMorris);
  ASSERT_TRUE(whole.Run());
  whole.FinishRun();
  EXPECT_FALSE(whole.CanResume());

  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("parts.toml", trajectories)));
  session.SetMethod(Method::kMorris);
  session.SetProgressObserver([&](const RunProgress& p) {
    if (p.finished >= 1) session.Stop();  // the members in flight still finish
  });
  ASSERT_TRUE(session.Run());
  session.FinishRun();
  const RunProgress stopped = session.Progress();
  EXPECT_FALSE(stopped.running);
  EXPECT_LT(stopped.finished, stopped.total);  // at most one member per thread was in flight
  EXPECT_TRUE(session.CanResume());
  EXPECT_EQ(ProgressText(stopped).rfind("Stopped: ", 0), 0u) << ProgressText(stopped);

  // As after closing the program: the design, the members kept and their figures come from
  // the results file.
  EnsembleSession reopened;
  ASSERT_TRUE(reopened.OpenPlan(dir.File("parts.toml")));
  EXPECT_EQ(reopened.DesignMethod(), Method::kMorris);
  EXPECT_EQ(reopened.Progress().finished, stopped.finished);
  EXPECT_EQ(reopened.Progress().total, members);
  EXPECT_FALSE(reopened.Envelope(1).times.empty());
  EXPECT_TRUE(reopened.ResultsNote().empty()) << reopened.ResultsNote();
  EXPECT_TRUE(reopened.CanResume());
  ASSERT_TRUE(reopened.Resume());
  reopened.FinishRun();
  EXPECT_EQ(reopened.Progress().finished, members);
  EXPECT_FALSE(reopened.CanResume());
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;

  const auto a = Stored(dir.File("whole.results.nc"));
  const auto b = Stored(dir.File("parts.results.nc"));
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t m = 0; m < a.size(); ++m) EXPECT_TRUE(SameBits(a[m], b[m])) << m;
}

// Edited parameters stay edited (and unsaved) whatever an ensemble reads and runs.
TEST_F(EnsembleSessionTest, OpeningAndRunningAPlan_LeavesTheProgramsFlagAndTablesAsTheyWere) {
  RunSettings.ParamsModified = true;
  Params[3].value = 4242.5;
  States[2].value = 17.25;
  const paramarray params = Params;
  const statearray states = States;
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
  ASSERT_TRUE(session.Run());
  session.FinishRun();
  EnsembleSession reopened;
  ASSERT_TRUE(reopened.OpenPlan(dir.File("plan.toml")));
  EXPECT_TRUE(RunSettings.ParamsModified);
  for (int i = 1; i <= ModelDef.numparam; ++i) EXPECT_EQ(Params[i].value, params[i].value) << i;
  for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_EQ(States[i].value, states[i].value) << i;
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;
}

TEST_F(EnsembleSessionTest, ResumeWithAnotherDesign_IsRefusedAndRunAsksBeforeReplacing) {
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 8)));
  session.SetMethod(Method::kLatinHypercube);
  session.SetProgressObserver([&](const RunProgress&) { session.Stop(); });
  ASSERT_TRUE(session.Run());
  session.FinishRun();
  ASSERT_TRUE(session.CanResume());
  const auto before = Stored(session.ResultsFileName());

  session.SetMethod(Method::kMonteCarlo);
  EXPECT_FALSE(session.Resume());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].text.find("made from another design (method 'lhs', not 'mc')"),
            std::string::npos)
      << prompter.messages[0].text;

  prompter.QueueAnswer(Answer::kNo);
  EXPECT_FALSE(session.Run());
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[1].kind, MessageKind::kConfirmation);
  const auto after = Stored(session.ResultsFileName());  // nothing lost, nothing added
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t m = 0; m < after.size(); ++m) EXPECT_TRUE(SameBits(after[m], before[m])) << m;
  session.SetMethod(Method::kLatinHypercube);
  EXPECT_TRUE(session.CanResume());  // the stopped members are still there to resume
}

TEST_F(EnsembleSessionTest, PlanChangedAfterItsRun_NamesTheResultsAsAnotherPlans) {
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
  ASSERT_TRUE(session.Run());
  session.FinishRun();
  session.SetSeed(4);
  ASSERT_TRUE(session.SavePlan(dir.File("plan.toml")));
  EXPECT_NE(session.ResultsNote().find("plan.results.nc' holds the results of another plan"),
            std::string::npos)
      << session.ResultsNote();
  EXPECT_FALSE(session.CanResume());
  EXPECT_EQ(session.Progress().total, 0u);
}

TEST_F(EnsembleSessionTest, UnsavedPlanAtExit_IsSavedDroppedOrKeptAsAnswered) {
  struct Case {
    const char* name;
    bool edited;
    std::optional<Answer> answer;
    bool closes;
    bool saved;
  };
  const Case cases[] = {
      {.name = "unchanged", .edited = false, .answer = {}, .closes = true, .saved = false},
      {.name = "yes", .edited = true, .answer = Answer::kYes, .closes = true, .saved = true},
      {.name = "no", .edited = true, .answer = Answer::kNo, .closes = true, .saved = false},
      {.name = "cancel",
       .edited = true,
       .answer = Answer::kCancel,
       .closes = false,
       .saved = false},
  };
  for (const Case& c : cases) {
    prompter.messages.clear();
    EnsembleSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
    if (c.edited) session.SetMembers(7);
    if (c.answer) prompter.QueueAnswer(*c.answer);
    EXPECT_EQ(session.ConfirmClose(), c.closes) << c.name;
    EXPECT_EQ(prompter.messages.size(), c.edited ? 1u : 0u) << c.name;
    if (c.edited) {
      EXPECT_EQ(prompter.messages[0].text, "Save the ensemble plan 'plan.toml' before exiting?");
    }
    EXPECT_EQ(ReadPlan(dir.File("plan.toml")).members, c.saved ? 7 : 4) << c.name;
  }
}

TEST_F(EnsembleSessionTest, CorrelationRows_AreCheckedAndFollowTheirParameters) {
  struct Case {
    CorrelationRow row;
    std::string message;
  };
  const Case cases[] = {
      {{.a = "mf", .b = "xyz", .rank = "0.2"}, "'xyz' is not a varied parameter"},
      {{.a = "mf", .b = "mf", .rank = "0.2"}, "choose two different varied parameters"},
      {{.a = "mf", .b = "Q10d", .rank = "1"}, "must be a number between -1 and 1"},
      {{.a = "mf", .b = "Q10d", .rank = "0.2x"}, "must be a number between -1 and 1"},
      {{.a = "Q10d", .b = "mf", .rank = "0.1"}, "this pair is correlated in row 1 already"},
  };
  for (const Case& c : cases) {
    EnsembleSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
    session.AddCorrelation();
    session.SetCorrelation(1, c.row);
    EXPECT_NE(session.CorrelationProblem(1).find("correlation row 2 ("), std::string::npos);
    try {
      session.EditedPlan();
      ADD_FAILURE() << c.message;
    } catch (const EPlanError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 4)));
  ASSERT_EQ(session.Correlations().size(), 1u);
  session.SetCorrelation(0, {.a = "mf", .b = "Q10d", .rank = "-0.45"});
  EXPECT_DOUBLE_EQ(session.EditedPlan().correlations.at(0).rho, -0.45);
  session.RemoveRow(1);  // Q10d no longer varies: its correlation goes with it
  EXPECT_TRUE(session.Correlations().empty());
}

TEST_F(EnsembleSessionTest, EnvelopeSoFar_IsTheEnvelopeOfTheFinishedMembers) {
  EnsembleSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 8)));
  session.SetProgressObserver([&](const RunProgress& p) {
    if (p.finished >= 1) session.Stop();  // the members in flight still finish
  });
  ASSERT_TRUE(session.Run());
  session.FinishRun();
  const FinishedMembers finished = session.Finished();
  ASSERT_GT(finished.Count(), 0u);
  const std::size_t nep = 1;
  const EnvelopeChartData envelope = session.Envelope(nep);
  ASSERT_FALSE(envelope.times.empty());
  EXPECT_EQ(envelope.members, static_cast<int>(finished.Count() - finished.Failures()));
  // At the last line: the statistics of the finished members' values, nothing else.
  const std::size_t last = finished.Times() - 1;
  std::vector<double> values;
  for (std::size_t m = 0; m < finished.Members(); ++m)
    if (finished.Finished(m)) values.push_back(finished.Value(m, last, nep));
  const analysis::EnvelopeRow expected = analysis::EnvelopeOfSeries(values.data(), values.size());
  constexpr double kTolerance = 1e-12;
  EXPECT_NEAR(envelope.q05.back(), expected.q05, kTolerance * std::fabs(expected.q05));
  EXPECT_NEAR(envelope.q50.back(), expected.q50, kTolerance * std::fabs(expected.q50));
  EXPECT_NEAR(envelope.q95.back(), expected.q95, kTolerance * std::fabs(expected.q95));
  EXPECT_NEAR(envelope.mean.back(), expected.mean, kTolerance * std::fabs(expected.mean));
  // Cf is recorded only at 1610 and 1620: its envelope has those two times.
  EXPECT_EQ(session.Envelope(0).times, (std::vector<double>{1610, 1620}));
}

}  // namespace
}  // namespace kvsorv::ensemble
