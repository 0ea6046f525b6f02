// The calibration window's session: a saved plan reads back as edited and a plan the
// calibration would refuse is not saved; an observation the run cannot match is named; a
// sampler stopped and resumed by a new session ends as one never stopped, with its verdict
// and the ensemble plan drawing from its posterior.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "calibration_window/calibration_session.h"
#include "ensemble/plan.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv::calibration {
namespace {

class CalibrationSessionTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) dir.CopyExample(f);
    dir.Write("observations.csv",
              "time,output,value,relative_error\n1605,Cf,190,0.05\n1610,Cf,195,0.05\n"
              "1620,Cf,200,0.05\n");
  }

  // A short plan of the example site calibrating two parameters.
  std::string WritePlan(const std::string& name, int generations) {
    dir.Write(
        name,
        "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\nstep = 1\n"
        "seed = 5\n"
        "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 64\nmax = 96\n"
        "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"uniform\"\nmin = 0.2\n"
        "max = 0.3\n"
        "[[observations]]\nfile = \"observations.csv\"\nerror = \"lognormal\"\n"
        "[[output]]\nsymbol = \"Cf\"\nyearly = true\n"
        "[sampler]\nchains = 4\ngenerations = " +
            std::to_string(generations) + "\nburn_in = " + std::to_string(generations / 2) + "\n");
    return dir.File(name);
  }

  // Runs the session's job to its end.
  static void Await(CalibrationSession& s) {
    s.RunFeedback()->WaitFinished();
    s.FinishRun();
  }

  std::string LastError() const {
    for (auto m = prompter.messages.rbegin(); m != prompter.messages.rend(); ++m)
      if (m->kind == MessageKind::kError) return m->text;
    return prompter.messages.empty() ? "" : "(last message) " + prompter.messages.back().text;
  }

  testing::TempWorkDir dir;
  testing::ScriptedPrompter prompter;
};

TEST_F(CalibrationSessionTest, SavedPlan_ReadsBackAsEdited) {
  CalibrationSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 100))) << LastError();
  session.SetRow(1, {.symbol = "rg", .distribution = "normal", .arguments = {"0.25", "0.01"}});
  session.SetSampler({.chains = 5, .generations = 60, .burnIn = 20, .thinning = 2});
  session.SetObservationFiles(
      {{.file = dir.File("observations.csv"), .model = ErrorModel::kGaussian}});
  ASSERT_TRUE(session.SavePlan(dir.File("saved.toml")));

  CalibrationSession reopened;
  ASSERT_TRUE(reopened.OpenPlan(dir.File("saved.toml"))) << LastError();
  EXPECT_EQ(reopened.Rows(), session.Rows());
  EXPECT_EQ(reopened.Plan().observations, session.Plan().observations);
  const SamplerSettings& s = reopened.Plan().sampler;
  EXPECT_EQ(s.chains, 5);
  EXPECT_EQ(s.generations, 60);
  EXPECT_EQ(s.burnIn, 20);
  EXPECT_EQ(s.thinning, 2);
  // The observed output kept at every line stays so.
  ASSERT_EQ(reopened.Plan().site.outputs.size(), 1u);
  EXPECT_TRUE(reopened.Plan().site.outputs[0].everyLine);
  EXPECT_FALSE(reopened.Changed());
}

TEST_F(CalibrationSessionTest, PlanTheCalibrationRefuses_IsNotSavedAndSaysWhy) {
  struct Case {
    const char* what;
    SamplerSettings sampler;
    std::string message;
  };
  const Case cases[] = {
      {"burn-in past the generations",
       {.chains = 4, .generations = 10, .burnIn = 10},
       "burn_in (10) must be less than generations (10)"},
      {"too few chains", {.chains = 2, .generations = 10, .burnIn = 5}, "chains"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CalibrationSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 100))) << LastError();
    session.SetSampler(c.sampler);
    EXPECT_FALSE(session.SavePlan(dir.File("refused.toml")));
    EXPECT_NE(LastError().find(c.message), std::string::npos) << LastError();
    EXPECT_NE(LastError().find(dir.File("refused.toml")), std::string::npos) << LastError();
    EXPECT_FALSE(std::filesystem::exists(dir.File("refused.toml")));
  }
  // No scratch file is left beside the plan.
  std::size_t files = 0;
  for (const auto& f : std::filesystem::directory_iterator(dir.Path()))
    files += f.is_regular_file();
  EXPECT_EQ(files, 5u);  // the site's three files, the observations and the plan
}

TEST_F(CalibrationSessionTest, ObservationTheRunCannotMatch_IsNamed) {
  dir.Write("unknown.csv", "time,output,value,sd\n1605,Cf,190,5\n1610,Xyz,1,1\n");
  struct Case {
    const char* what;
    std::string file;
    double stop;
    std::string problem;
  };
  const Case cases[] = {
      {"all matched", "observations.csv", 1620, ""},
      {"past the stop time", "observations.csv", 1615,
       "observations.csv, line 4: the run writes no output line at 1620"},
      {"unknown symbol", "unknown.csv", 1620, "unknown.csv, line 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CalibrationSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 100))) << LastError();
    session.SetObservationFiles({{.file = dir.File(c.file), .model = ErrorModel::kGaussian}});
    RunTimes times = session.Plan().site.times;
    times.stop = c.stop;
    session.SetTimes(times);
    const std::string problem = session.ObservationProblem();
    if (c.problem.empty())
      EXPECT_EQ(problem, "");
    else
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
  CalibrationSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 100))) << LastError();
  ASSERT_EQ(session.Observations().size(), 3u);
  EXPECT_NEAR(session.Observations()[1].error, 0.05 * 195, 1e-9);
}

TEST_F(CalibrationSessionTest, SamplerStoppedThenResumedByNewSession_EndsAsOneNeverStopped) {
  const int generations = 24;
  std::filesystem::create_directory(dir.File("whole"));
  for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr", "observations.csv"})
    std::filesystem::copy_file(dir.File(f), dir.File(std::string("whole/") + f));
  ChainsContents whole;
  {
    CalibrationSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("whole/plan.toml", generations))) << LastError();
    ASSERT_TRUE(session.Sample());
    Await(session);
    ASSERT_EQ(LastError(), "");
    ASSERT_NE(session.Chains(), nullptr);
    whole = *session.Chains();
  }
  {
    CalibrationSession session;
    ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", generations))) << LastError();
    ASSERT_TRUE(session.Sample());
    session.RunFeedback()->OnProgress([&](const FeedbackProgress& p) {
      if (p.done >= 5) session.Stop();
    });
    Await(session);
    ASSERT_EQ(LastError(), "");
  }
  CalibrationSession session;
  ASSERT_TRUE(session.OpenPlan(dir.File("plan.toml"))) << LastError();
  ASSERT_TRUE(session.CanResume());
  EXPECT_EQ(session.ProgressText().rfind("Stopped: ", 0), 0u) << session.ProgressText();
  ASSERT_TRUE(session.Resume());
  Await(session);
  const auto resumed = session.Chains();
  ASSERT_EQ(resumed->generations, static_cast<std::size_t>(generations));
  EXPECT_EQ(resumed->draws, whole.draws);  // bit for bit
  EXPECT_FALSE(session.CanResume());

  const ChainsDiagnostics d = *session.Diagnostics();
  const std::string verdict = session.Verdict();
  EXPECT_EQ(verdict.rfind(d.converged ? "Converged." : "Not converged.", 0), 0u) << verdict;
  for (const char* name : {"mf", "rg"}) EXPECT_NE(verdict.find(name), std::string::npos);
  // The advice speaks of the window's Continue, which runs on past the plan's generations.
  EXPECT_EQ(verdict.find("--resume"), std::string::npos) << verdict;
  if (!d.converged) {
    EXPECT_NE(verdict.find("Continue runs"), std::string::npos) << verdict;
    EXPECT_GT(session.ContinueTo(), static_cast<std::size_t>(generations));
  }

  std::string opened;
  session.SetOpenEnsemble([&](const std::string& name) { opened = name; });
  const std::string ensemble = session.WritePosteriorEnsemble(20);
  ASSERT_EQ(LastError(), "");
  EXPECT_EQ(opened, ensemble);
  const ensemble::EnsemblePlan plan = ensemble::ReadPlan(ensemble);
  EXPECT_EQ(plan.members, 20);
  EXPECT_EQ(plan.posteriorColumns, 2u);
  ASSERT_EQ(plan.outputs.size(), 1u);
  EXPECT_TRUE(plan.outputs[0].everyLine);
  EXPECT_EQ(plan.times.stop, 1620);
}

TEST_F(CalibrationSessionTest, PosteriorMode_IsWrittenOnlyAfterYes) {
  CalibrationSession session;
  ASSERT_TRUE(session.OpenPlan(WritePlan("plan.toml", 6))) << LastError();
  ASSERT_TRUE(session.Sample());
  Await(session);
  const auto mode = session.PosteriorMode();
  ASSERT_EQ(mode.size(), 2u);
  std::ifstream in(dir.File("cell1.par"));
  const std::string original((std::istreambuf_iterator<char>(in)), {});
  prompter.QueueAnswer(Answer::kNo);
  EXPECT_FALSE(session.WritePosteriorMode());
  std::ifstream same(dir.File("cell1.par"));
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(same)), {}), original);
  prompter.QueueAnswer(Answer::kYes);
  ASSERT_TRUE(session.WritePosteriorMode()) << LastError();
  EXPECT_EQ(prompter.messages.back().text, kOverwriteParamFileQuestion);
  std::ifstream written(dir.File("cell1.par"));
  EXPECT_NE(std::string((std::istreambuf_iterator<char>(written)), {}), original);
}

}  // namespace
}  // namespace kvsorv::calibration
