// Analyses of results files: a tiny file made with ResultsFile read over time (a failed
// member's values left out), and the messages of input an analysis cannot use.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "analysis/analysis_error.h"
#include "analysis/chunk_reader.h"
#include "analysis/envelope_over_time.h"
#include "analysis/local_sensitivity.h"
#include "analysis/morris_over_time.h"
#include "analysis/results_reader.h"
#include "analysis/sobol_over_time.h"
#include "analysis/table_source.h"
#include "ensemble/results_file.h"
#include "support/temp_dir.h"
#include "tasks/feedback.h"

namespace kvsorv::analysis {
namespace {

using namespace kvsorv::ensemble;

// A results file of `members` members of two parameters, outputs A and B at times 10, 20,
// 30: A = m + t, B = 100 m (member m), or `value` for every member when given; members
// `unwritten` are left missing; in the layout of `format`.
std::string MakeResults(const testing::TempWorkDir& dir, const std::string& name, Method method,
                        std::size_t members, std::vector<std::size_t> failed = {},
                        std::optional<double> value = {}, std::vector<std::size_t> unwritten = {},
                        int format = kResultsFormat) {
  EnsemblePlan plan;
  plan.file = "plan.toml";
  plan.parameters = {{"a", 0, Uniform{0, 1}}, {"b", 0, Uniform{0, 1}}};
  EnsembleSite site;
  site.times = {10, 20, 30};
  site.variables = {"A", "B"};
  Design design;
  design.method = method;
  design.symbols = {"a", "b"};
  for (std::size_t m = 0; m < members; ++m)
    design.rows.push_back({0.5 + 0.01 * static_cast<double>(m), 0.25});
  ResultsFile file = ResultsFile::Create(dir.File(name), plan, site, design, "test", format);
  for (std::size_t m = 0; m < members; ++m) {
    if (std::find(unwritten.begin(), unwritten.end(), m) != unwritten.end()) continue;
    MemberResult r;
    const auto x = static_cast<double>(m);
    for (const double t : site.times) r.values.insert(r.values.end(), {x + t, 100 * x});
    if (value) r.values.assign(r.values.size(), *value);
    r.failed = std::find(failed.begin(), failed.end(), m) != failed.end();
    file.WriteMember(m, design.rows[m], r);
  }
  return dir.File(name);
}

TEST(ResultsReader, ReadsEveryChosenOutputOverTimeLeavingFailedMembersOut) {
  for (const int format : {1, kResultsFormat}) {
    SCOPED_TRACE(format);
    testing::TempWorkDir dir;
    const std::string file =
        MakeResults(dir, "r.nc", Method::kLatinHypercube, 4, {2}, {}, {}, format);
    auto source = OpenResults(file, {.outputs = {"B", "A"}, .times = {20, 30}});
    const EnsembleLayout& layout = source->Layout();
    EXPECT_EQ(layout.designMethod, "lhs");
    EXPECT_EQ(layout.outputs, (std::vector<std::string>{"B", "A"}));
    ASSERT_EQ(layout.Series(), 4u);
    EXPECT_EQ(layout.design[3][0], 0.53);
    std::vector<double> values;
    source->ForEachBatch(1, [&](const SeriesBatch& b) {  // a batch per output
      values.insert(values.end(), b.values.begin(), b.values.end());
    });
    ASSERT_EQ(values.size(), 16u);
    EXPECT_EQ(values[1], 100.0);         // B of member 1 at 20
    EXPECT_TRUE(std::isnan(values[2]));  // member 2 failed
    EXPECT_EQ(values[8 + 4 + 3], 33.0);  // A of member 3 at 30
    const EnvelopeResult e = EnvelopeOverTime(*OpenResults(file));
    ASSERT_EQ(e.rows.size(), 6u);
    EXPECT_EQ(e.rows[1].output, "A");
    EXPECT_EQ(e.rows[1].time, 20.0);
    EXPECT_EQ(e.rows[1].members, 3);
    EXPECT_NEAR(e.rows[1].mean, 20 + 4.0 / 3, 1e-12);
  }
}

TEST(ResultsAnalysis, InputAnAnalysisCannotUseIsRefusedWithItsReason) {
  testing::TempWorkDir dir;
  const std::string mc = MakeResults(dir, "mc.nc", Method::kMonteCarlo, 8);
  // 20 base points of 4 members; all but 3 have a failed member.
  std::vector<std::size_t> broken;
  for (std::size_t i = 3; i < 20; ++i) broken.push_back(4 * i + 1);
  const std::string sobol = MakeResults(dir, "sobol.nc", Method::kSobol, 80, broken);
  const std::string morris = MakeResults(dir, "morris.nc", Method::kMorris, 9);  // b never moves
  dir.Write("text.nc", "not a netCDF file\n");
  struct Case {
    const char* name;
    std::function<void()> analyse;
    const char* message;
  };
  const Case cases[] = {
      {"Monte Carlo given to sobol", [&] { SobolOverTime(*OpenResults(mc)); },
       "mc.nc: holds the design 'mc'; the sobol analysis needs the design 'sobol'"},
      {"Monte Carlo given to morris", [&] { MorrisOverTime(*OpenResults(mc)); },
       "the morris analysis needs the design 'morris'"},
      {"Monte Carlo given to local", [&] { LocalOverTime(*OpenResults(mc)); },
       "the local analysis needs the design 'oat'"},
      {"output not in the file", [&] { OpenResults(mc, {.outputs = {"Cw"}}); },
       "mc.nc: no output 'Cw'; it holds A, B"},
      {"time not in the file", [&] { OpenResults(mc, {.times = {25}}); },
       "mc.nc: no time 25; it holds 3 times from 10 to 30"},
      {"too many failed members", [&] { SobolOverTime(*OpenResults(sobol)); },
       "only 3 of 20 base points have all their members done; Sobol indices need at least 16"},
      {"Morris steps that never move a parameter", [&] { MorrisOverTime(*OpenResults(morris)); },
       "parameter b has 0 steps between members done (3 of 3 trajectories complete)"},
      {"missing file", [&] { OpenResults(dir.File("none.nc")); }, "none.nc: no such results file"},
      {"unreadable file", [&] { OpenResults(dir.File("text.nc")); },
       "text.nc: not a results file (not a netCDF-4 file)"},
  };
  for (const Case& c : cases) {
    try {
      c.analyse();
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const EAnalysisError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.name << ": " << e.what();
    }
  }
}

TEST(ChunkReader, ReadsWhatNetCdfReadsAndNaNForAMemberNeverWritten) {
  for (const int format : {1, kResultsFormat}) {
    SCOPED_TRACE(format);
    testing::TempWorkDir dir;
    const std::string file = MakeResults(dir, "r.nc", Method::kMonteCarlo, 6, {}, {}, {4}, format);
    std::vector<double> expected(6 * 6), direct(6 * 6);
    const ResultsFile results = ResultsFile::OpenToRead(file);
    results.ReadValues(0, 6, 0, 2, expected.data());
    auto reader = ChunkReader::Open(file, 3, 2, results.OutputVariables());
    ASSERT_NE(reader, nullptr);
    reader->Read(0, 6, direct.data());
    for (std::size_t i = 0; i < direct.size(); ++i) {
      if (i / 6 == 4)
        EXPECT_TRUE(std::isnan(direct[i])) << i;  // netCDF's fill value, NaN too
      else
        EXPECT_EQ(direct[i], expected[i]) << i;
    }
  }
}

TEST(ResultsAnalysis, ConstantOutputLeavesIndicesEmptyWithANote) {
  testing::TempWorkDir dir;
  const std::string file = MakeResults(dir, "flat.nc", Method::kSobol, 80, {}, 7.0);
  const SobolResult r = SobolOverTime(*OpenResults(file, {.outputs = {"A"}}), {.resamples = 10});
  ASSERT_EQ(r.rows.size(), 3u * 2u);
  EXPECT_TRUE(std::isnan(r.rows[0].s1));
  EXPECT_TRUE(std::isnan(r.rows[0].stHigh));
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_NE(r.notes[0].find("A at 3 of 3 times (10 to 30): zero variance"), std::string::npos)
      << r.notes[0];
}

// Three outputs at 250 times of three members: slices of 256 series cut the batch inside
// outputs.
std::pair<EnsembleLayout, SeriesBatch> ThreeOutputsAt250Times() {
  EnsembleLayout layout;
  layout.source = "memory";
  layout.designMethod = "mc";
  layout.parameters = {"a"};
  layout.design = {{1}, {2}, {3}};
  layout.states.assign(3, MemberState::kDone);
  layout.outputs = {"A", "B", "C"};
  for (int t = 0; t < 250; ++t) layout.times.push_back(t);
  SeriesBatch batch;
  batch.count = layout.Series();
  batch.members = 3;
  for (std::size_t s = 0; s < batch.count; ++s)
    for (std::size_t m = 0; m < 3; ++m) batch.values.push_back(static_cast<double>(s * m));
  return {layout, batch};
}

TEST(BatchFeedback, SlicedBatches_GiveTheSameAnalysisAndCountUpToEverySeries) {
  const auto [layout, batch] = ThreeOutputsAt250Times();
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  Feedback feedback;
  feedback.OnProgress([&](const FeedbackProgress& p) { calls.emplace_back(p.done, p.total); });
  const EnvelopeResult whole = EnvelopeOverTime(*MemorySource(layout, batch));
  const EnvelopeResult sliced = EnvelopeOverTime(*MemorySource(layout, batch), &feedback);
  ASSERT_EQ(sliced.rows.size(), whole.rows.size());
  for (std::size_t s = 0; s < whole.rows.size(); ++s) {
    EXPECT_EQ(sliced.rows[s].output, whole.rows[s].output) << s;
    EXPECT_EQ(sliced.rows[s].time, whole.rows[s].time) << s;
    EXPECT_EQ(sliced.rows[s].mean, whole.rows[s].mean) << s;
  }
  EXPECT_EQ(whole.rows[700].mean, 700.0);
  EXPECT_EQ(calls,
            (std::vector<std::pair<std::size_t, std::size_t>>{{256, 750}, {512, 750}, {750, 750}}));
}

TEST(BatchFeedback, CanceledAfterTheFirstSlice_StopsTheAnalysisBeforeTheNext) {
  const auto [layout, batch] = ThreeOutputsAt250Times();
  Feedback feedback;
  std::vector<std::size_t> heard;
  feedback.OnProgress([&](const FeedbackProgress& p) {
    heard.push_back(p.done);
    feedback.Cancel();
  });
  EXPECT_THROW(EnvelopeOverTime(*MemorySource(layout, batch), &feedback), EAnalysisCanceled);
  EXPECT_EQ(heard, std::vector<std::size_t>{256});
}

}  // namespace
}  // namespace kvsorv::analysis
