// Ensemble plans and designs: distributions by their quantiles, plans refused with the entry
// named, the designs' defining properties, and the design file's round trip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ensemble/design_file.h"
#include "ensemble/distribution.h"
#include "ensemble/plan.h"
#include "ensemble/sampling.h"
#include "support/model_fixture.h"
#include "support/temp_dir.h"

namespace kvsorv::ensemble {
namespace {

TEST(Distribution, QuantilesAtKnownProbabilities) {
  struct Case {
    Distribution d;
    double u;
    double expected;
  };
  const Case cases[] = {
      {Uniform{2, 4}, 0.25, 2.5},
      {Normal{10, 2}, 0.5, 10},
      {Normal{0, 1}, 0.975, 1.959963984540054},
      {LogNormal{0, 1}, 0.5, 1},
      {Triangular{0, 0, 1}, 0.75, 0.5},  // 1 - sqrt(0.25)
      {Triangular{0, 1, 2}, 0.5, 1},
      {TruncatedNormal{0, 1, 0, 10}, 0.5, 0.6744897501960817},  // the upper half's median
      {Table::Of({3, 1, 2}), 0.1, 1},
      {Table::Of({3, 1, 2}), 0.99, 3},
  };
  for (const Case& c : cases) EXPECT_NEAR(Quantile(c.d, c.u), c.expected, 1e-12) << c.u;
}

TEST(Distribution, ImpossibleArgumentsAreNamed) {
  EXPECT_EQ(Impossibility(Uniform{1, 1}), "min must be less than max");
  EXPECT_EQ(Impossibility(Normal{0, 0}), "sd must be greater than 0");
  EXPECT_EQ(Impossibility(Triangular{0, 2, 1}), "mode must lie between min and max");
  EXPECT_EQ(Impossibility(TruncatedNormal{0, 1, 50, 60}),
            "[min, max] holds no probability of the normal");
  EXPECT_EQ(Impossibility(Table{}), "the table has no values");
  EXPECT_EQ(Impossibility(LogNormal{0, 0.5}), "");
}

class PlanTest : public testing::ModelTest {
 protected:
  std::string Plan(const std::string& body) {
    dir.Write("plan.toml",
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nmembers = 50\n"
              "seed = 7\n" +
                  body);
    return dir.File("plan.toml");
  }
  testing::TempWorkDir dir;
};

constexpr const char* kTwoParameters =
    "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 60\nmax = 100\n"
    "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"normal\"\nmean = 0.25\nsd = 0.02\n";

TEST_F(PlanTest, BadPlansAreRefusedNamingTheFileAndTheEntry) {
  struct Case {
    std::string body;
    std::string message;  // after "<file>: "
  };
  const Case cases[] = {
      {"[[parameter]]\nsymbol = \"nosuch\"\ndistribution = \"uniform\"\nmin = 0\nmax = 1\n",
       "parameter 'nosuch': no parameter of the model has this symbol"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 2\nmax = 1\n",
       "parameter 'mf': min must be less than max"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"gamma\"\n",
       "parameter 'mf': unknown distribution 'gamma'"},
      {std::string(kTwoParameters) + "[[correlation]]\na = \"mf\"\nb = \"rg\"\nrank = 1.5\n",
       "correlation of 'mf' and 'rg': rank must lie between -1 and 1"},
      {std::string(kTwoParameters) +
           "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"uniform\"\nmin = 1\nmax = 3\n"
           "[[correlation]]\na = \"mf\"\nb = \"rg\"\nrank = 0.9\n"
           "[[correlation]]\na = \"rg\"\nb = \"Q10d\"\nrank = 0.9\n"
           "[[correlation]]\na = \"mf\"\nb = \"Q10d\"\nrank = -0.9\n",
       "correlation: the rank correlations form a matrix that is not positive definite"},
      {std::string(kTwoParameters) + "[[output]]\nsymbol = \"Zz\"\nyearly = true\n",
       "output 'Zz': no state, process or driver has this symbol"},
      // A chain file's row too short for its column has no value there.
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"chain.csv\"\n"
       "column = \"b\"\n",
       "parameter 'mf': '" + dir.File("chain.csv") + "', line 3: '' is not a number"},
  };
  dir.Write("chain.csv", "a,b\n1,80\n3\n");
  for (const Case& c : cases) {
    const std::string file = Plan(c.body);
    try {
      ReadPlan(file);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EPlanError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(file + ": " + c.message, 0), 0u) << e.what();
    }
  }
}

TEST_F(PlanTest, DesignsHaveTheirDefiningProperties) {
  const EnsemblePlan plan = ReadPlan(Plan(kTwoParameters));
  // Latin hypercube: each of the 50 strata of mf's range once.
  const Design lhs = SampleDesign(plan, Method::kLatinHypercube);
  ASSERT_EQ(lhs.rows.size(), 50u);
  std::vector<int> strata;
  for (const auto& row : lhs.rows) strata.push_back(static_cast<int>((row[0] - 60) / 40 * 50));
  std::sort(strata.begin(), strata.end());
  for (int i = 0; i < 50; ++i) EXPECT_EQ(strata[static_cast<std::size_t>(i)], i);
  // Monte Carlo: member i depends on the seed and i alone, not on how many members there are.
  EnsemblePlan more = plan;
  more.members = 80;
  EXPECT_EQ(SampleDesign(more, Method::kMonteCarlo).rows[17],
            SampleDesign(plan, Method::kMonteCarlo).rows[17]);
  // Sobol cross-sampling: per base point A, A with each column from B, then B.
  const Design sobol = SampleDesign(plan, Method::kSobol);
  ASSERT_EQ(sobol.rows.size(), 50u * 4u);
  EXPECT_EQ(sobol.rows[1][0], sobol.rows[3][0]);  // AB_1 takes column 1 from B
  EXPECT_EQ(sobol.rows[1][1], sobol.rows[0][1]);  // and keeps column 2 of A
  // Morris: each step of a trajectory moves exactly one parameter.
  const Design morris = SampleDesign(plan, Method::kMorris);
  ASSERT_EQ(morris.rows.size(), 50u * 3u);
  for (std::size_t r = 1; r < 3; ++r) {
    const int moved =
        (morris.rows[r][0] != morris.rows[r - 1][0]) + (morris.rows[r][1] != morris.rows[r - 1][1]);
    EXPECT_EQ(moved, 1);
  }
  // One at a time: the medians, then each parameter at 1 - h, 1 + h, 1 - h/2, 1 + h/2.
  const Design oat = SampleDesign(plan, Method::kOneAtATime);
  ASSERT_EQ(oat.rows.size(), 1u + 4u * 2u);
  const double h = plan.oatStep, median = oat.rows[0][1];
  const double factors[] = {1 - h, 1 + h, 1 - h / 2, 1 + h / 2};
  for (std::size_t r = 0; r < 4; ++r) {
    EXPECT_DOUBLE_EQ(oat.rows[5 + r][1], median * factors[r]) << r;
    EXPECT_EQ(oat.rows[5 + r][0], oat.rows[0][0]) << r;
  }
}

TEST_F(PlanTest, DesignFileReadsBackExactlyAndOnlyForItsPlan) {
  const EnsemblePlan plan = ReadPlan(Plan(kTwoParameters));
  const Design design = SampleDesign(plan, Method::kMonteCarlo);
  WriteDesign(dir.File("design.csv"), design);
  EXPECT_EQ(ReadDesign(dir.File("design.csv"), plan).rows, design.rows);
  WriteDesign(dir.File("oat.csv"), SampleDesign(plan, Method::kOneAtATime));
  EXPECT_EQ(ReadDesign(dir.File("oat.csv"), plan).method, Method::kOneAtATime);

  dir.Write("other.csv", "# rg,mf\n1,2\n");
  EXPECT_THROW(ReadDesign(dir.File("other.csv"), plan), EPlanError);
  dir.Write("short.csv", "# mf,rg\n1,2\n3\n");
  try {
    ReadDesign(dir.File("short.csv"), plan);
    ADD_FAILURE() << "no error";
  } catch (const EPlanError& e) {
    EXPECT_NE(std::string(e.what()).find("short.csv, line 3: 1 values where the plan varies 2"),
              std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace kvsorv::ensemble
