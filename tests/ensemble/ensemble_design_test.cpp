// Ensemble plans and designs: distributions by their quantiles, plans refused with the entry
// named, the designs' defining properties, and the design file's round trip.

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>

#include "ensemble/design_file.h"
#include "ensemble/distribution.h"
#include "ensemble/plan.h"
#include "ensemble/sampling.h"
#include "ensemble/seeded_random.h"
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
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 60\nmax = 100\n"
       "sd = 2\n",
       "parameter 'mf', line 10: 'sd' is not an argument of a uniform distribution (it takes min, "
       "max)"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nvalues = [1, 2]\n"
       "file = \"chain.csv\"\ncolumn = \"b\"\n",
       "parameter 'mf': a table takes 'values' or 'file' and 'column', not both"},
      // Finite arguments whose draws are not all finite.
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = -1.7e308\n"
       "max = 1.7e308\n",
       "parameter 'mf': its draws are not all finite numbers"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"lognormal\"\nmeanlog = 705\n"
       "sdlog = 1\n",
       "parameter 'mf': its draws are not all finite numbers"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"normal\"\nmean = 1.7e308\n"
       "sd = 1e307\n",
       "parameter 'mf': its draws are not all finite numbers"},
      {std::string(kTwoParameters) + "[[correlation]]\na = \"mf\"\nb = \"rg\"\nrank = 0.3\n"
                                     "[[correlation]]\na = \"rg\"\nb = \"mf\"\nrank = 0.5\n",
       "correlation of 'rg' and 'mf': given twice"},
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"cells.csv\"\n"
       "column = \"b\"\n",
       "parameter 'mf': '" + dir.File("cells.csv") +
           "', line 3, column 'b': '80abc' is not a number"},
      // Texts that are no TOML, in the file's words without the library's own.
      {"members = 3\n", "line 5: not a plan's TOML text: value (\"members\") already exists"},
      {"x = \"a\n", "line 5: not a plan's TOML text: "},
      // Texts that would make the TOML parser recurse without bound or take minutes.
      {"x = " + std::string(40, '[') + std::string(40, ']') + "\n",
       "line 5: lists or tables nested more than 16 deep"},
      {"x = \"" + std::string(20000, 'a') + "\"\n", "line 5: longer than 10000 characters"},
      // Runs that cannot be done, or never write a kept time.
      {"stop = 1e300\n" + std::string(kTwoParameters),
       "step: from start to stop the run would take 1e+300 steps; a plan may take at most "
       "10000000"},
      {"stop = inf\n" + std::string(kTwoParameters), "stop: must be a finite number"},
      {"step = 1e-300\n" + std::string(kTwoParameters), "step: from start to stop"},
      {"output_step = 0\n" + std::string(kTwoParameters),
       "output_step: must be at least the step (1)"},
      {"output_step = 1e300\n" + std::string(kTwoParameters),
       "output_step: must be at most stop - start (2)"},
      {"start = 1590\nstop = 1620\n" + std::string(kTwoParameters) +
           "[[output]]\nsymbol = \"Cf\"\ntimes = [1610.5]\n",
       "output 'Cf': the run writes no output line at 1610.5 (the nearest: 1610 and 1611)"},
      {"start = 1590\nstop = 1620\n" + std::string(kTwoParameters) +
           "[[output]]\nsymbol = \"Cf\"\ntimes = [1595]\n",
       "output 'Cf': the run writes no output line at 1595 (the nearest: 1590 and 1601)"},
      {"start = 1590\nstop = 1700\nstep = 0.3\n" + std::string(kTwoParameters) +
           "[[output]]\nsymbol = \"Cf\"\ntimes = [1700]\n",
       "output 'Cf': the run writes no output line at 1700 (the nearest: 1699.8)"},
      // A chain file's row shorter than its header has its cells in other columns.
      {"[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"chain.csv\"\n"
       "column = \"b\"\n",
       "parameter 'mf': '" + dir.File("chain.csv") +
           "', line 3: 1 cells where the header names 2 "
           "columns"},
  };
  dir.Write("chain.csv", "a,b\n1,80\n3\n");
  dir.Write("cells.csv", "a,b\n1, 80 \n2,80abc\n");
  for (const Case& c : cases) {
    const std::string file = Plan(c.body);
    try {
      ReadPlan(file);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EPlanError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(file + ": " + c.message, 0), 0u) << e.what();
    }
  }
  for (const auto& [name, message] : {std::pair{dir.File("missing.toml"), "file: no such file"},
                                      std::pair{dir.File(""), "file: a directory, not a plan"}}) {
    try {
      ReadPlan(name);
      ADD_FAILURE() << "no error for " << message;
    } catch (const EPlanError& e) {
      EXPECT_EQ(std::string(e.what()), name + ": " + message);
    }
  }
}

// Mistakes a plan reader would otherwise pass over in silence, and texts made to stall it: each
// refused at once, saying where it is and what a plan takes.
TEST_F(PlanTest, MistakenOrOversizedPlan_IsRefusedNamingWhereAndWhat) {
  struct Case {
    const char* situation;
    std::string body;
    std::string message;  // after "<file>: "
  };
  const auto repeated = [](const std::string& text, int n) {
    std::string all;
    for (int i = 0; i < n; ++i) all += text;
    return all;
  };
  const auto keys = [](int n) {
    std::string all;
    for (int i = 0; i < n; ++i) all += "k" + std::to_string(i) + " = 1\n";
    return all;
  };
  const std::string cf = "[[output]]\nsymbol = \"Cf\"\n";
  const std::string two = kTwoParameters;  // lines 5 to 14
  const Case cases[] = {
      {.situation = "UnknownTopLevelKey",
       .body = "membres = 20\n" + two,
       .message = "line 5: 'membres' is not a key of a plan (it takes params, drivers, cells, "},
      {.situation = "UnknownOutputKey",
       .body = two + cf + "yearly = true\ntimez = [1]\n",
       .message = "output 'Cf', line 18: 'timez' is not a key of an output (it takes symbol, "
                  "times, yearly)"},
      {.situation = "UnknownCorrelationKey",
       .body = two + "[[correlation]]\na = \"mf\"\nb = \"rg\"\nrank = 0.3\nrnak = 1\n",
       .message = "correlation of 'mf' and 'rg', line 19: 'rnak' is not a key of a correlation "
                  "(it takes a, b, rank)"},
      {.situation = "OutputTwice",
       .body = two + cf + "yearly = true\n" + cf + "times = [2]\n",
       .message = "output 'Cf', line 18: given twice"},
      {.situation = "TimeTwice",
       .body = "start = 1590\nstop = 1620\n" + two + cf + "times = [1610, 1611,\n  1610]\n",
       .message = "output 'Cf', line 19: the time 1610 is kept twice"},
      {.situation = "TwoTimesOfOneLine",
       .body = "start = 1590\nstop = 1620\n" + two + cf + "times = [1610.2, 1609.9]\n",
       .message = "output 'Cf', line 19: the times 1609.9 and 1610.2 are kept at the same output "
                  "line (1610)"},
      {.situation = "YearlyWithTimes",
       .body = two + cf + "yearly = true\ntimes = [1]\n",
       .message = "output 'Cf', line 18: give 'times = [...]' or 'yearly = true', not both"},
      {.situation = "YearlyNotABoolean",
       .body = two + cf + "yearly = \"yes\"\n",
       .message = "output 'Cf', line 17: 'yearly' must be true or false"},
      {.situation = "OutputsNotTables",
       .body = "output = [1]\n" + two,
       .message = "output, line 5: must be [[output]] tables"},
      {.situation = "TimeNotFinite",
       .body = two + cf + "times = [1, nan]\n",
       .message = "output 'Cf', line 17: entry 2 of 'times' is not a finite number"},
      {.situation = "TableValueNotFinite",
       .body = "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nvalues = [1, inf]\n",
       .message = "parameter 'mf', line 8: entry 2 of 'values' is not a finite number"},
      {.situation = "TableFileHexadecimal",
       .body = "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"hex.csv\"\n"
               "column = \"mf\"\n",
       .message = "parameter 'mf': '" + dir.File("hex.csv") +
                  "', line 3, column 'mf': '0x50' is not a decimal number"},
      {.situation = "TableFileNotFinite",
       .body = "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"nan.csv\"\n"
               "column = \"mf\"\n",
       .message = "parameter 'mf': '" + dir.File("nan.csv") +
                  "', line 2, column 'mf': 'nan' is not a finite number"},
      {.situation = "TableFileRowLongerThanHeader",
       .body = "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nfile = \"long.csv\"\n"
               "column = \"mf\"\n",
       .message = "parameter 'mf': '" + dir.File("long.csv") +
                  "', line 2: 3 cells where the header names 2 columns"},
      {.situation = "TooManyParameters",
       .body = two + repeated("[[parameter]]\n", 999),
       .message = "parameter: 1001 [[parameter]] tables; a plan may vary at most 1000"},
      {.situation = "TooManyOutputs",
       .body = two + repeated("[[output]]\n", 1001),
       .message = "output: 1001 [[output]] tables; a plan may keep at most 1000"},
      {.situation = "TooManyTables",
       .body = two + repeated("[[output]]\n", 12000),
       .message = "line 12013: more than 12000 tables; a plan may vary at most 1000 parameters, "
                  "keep at most 1000 outputs and give at most 10000 correlations"},
      {.situation = "TooManyKeysInATable",
       .body = two + keys(97),
       .message = "line 111: more than 100 keys in one table"},
      {.situation = "TooManyListValues",
       .body = two + cf + "times = [\n" + repeated("1,\n", 100001) + "1]\n",
       .message = "line 100018: the plan's lists hold more than 100000 values; an output may "
                  "keep at most 100000 times, and a long table of values belongs in a CSV file "
                  "named by the distribution's 'file' key"},
      {.situation = "TooManyValuesOnALine",
       .body = two + cf + "times = [" + repeated("1, ", 101) + "1]\n",
       .message = "line 17: more than 100 values on one line; split the list over several lines"},
      {.situation = "LargerThanAPlanMayBe",
       .body = two + repeated("# " + std::string(98, '.') + "\n", 10380),
       .message = "file: 1048591 bytes; a plan may have at most 1048576 bytes (1 MiB): give a "
                  "long table of values in a CSV file named by the distribution's 'file' key"},
  };
  dir.Write("hex.csv", "mf,x\n80,1\n0x50,2\n");
  dir.Write("nan.csv", "mf\nnan\n");
  dir.Write("long.csv", "mf,x\n80,1,2\n");
  for (const Case& c : cases) {
    const std::string file = Plan(c.body);
    try {
      ReadPlan(file);
      ADD_FAILURE() << c.situation << ": no error";
    } catch (const EPlanError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(file + ": " + c.message, 0), 0u)
          << c.situation << ": " << e.what();
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
  // The size the window announces before a run is the size of every design.
  for (const Method m : {Method::kMonteCarlo, Method::kLatinHypercube, Method::kSobol,
                         Method::kMorris, Method::kOneAtATime})
    EXPECT_EQ(DesignSize(m, plan.members, plan.parameters.size()),
              SampleDesign(plan, m).rows.size())
        << MethodName(m);
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

TEST_F(PlanTest, ValuesNearTheLargestDouble_FiniteDrawsPassAndInfiniteCellsAreRefused) {
  // A triangle whose quantiles multiply beyond the largest double still draws finite values.
  const EnsemblePlan triangle = ReadPlan(
      Plan("[[parameter]]\nsymbol = \"mf\"\ndistribution = \"triangular\"\nmin = 1.6e308\n"
           "mode = 1.7e308\nmax = 1.79e308\n[[output]]\nsymbol = \"Cf\"\nyearly = true\n"));
  for (const auto& row : SampleDesign(triangle, Method::kLatinHypercube).rows)
    EXPECT_TRUE(row[0] >= 1.6e308 && row[0] <= 1.79e308) << row[0];
  // One at a time moves the median by 10 % beyond the largest double.
  EnsemblePlan near =
      ReadPlan(Plan("oat_step = 0.1\n[[parameter]]\nsymbol = \"mf\"\ndistribution = \"normal\"\n"
                    "mean = 1.7e308\nsd = 1\n[[output]]\nsymbol = \"Cf\"\nyearly = true\n"));
  try {
    SampleDesign(near, Method::kOneAtATime);
    ADD_FAILURE() << "no error";
  } catch (const EPlanError& e) {
    EXPECT_NE(std::string(e.what()).find(
                  "parameter 'mf': the oat design would give it a value that is not a finite"),
              std::string::npos)
        << e.what();
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
  const std::pair<const char*, const char*> refused[] = {
      {"# mf,rg\n1,2\n3,nan\n", "line 3, column 'rg': 'nan' is not a finite number"},
      {"# mf,rg\n1,-inf\n", "line 2, column 'rg': '-inf' is not a finite number"},
      {"# mf,rg\n1,1e999\n", "line 2, column 'rg': '1e999' is not a finite number"},
      // Only finite decimal numbers: no other form a C library would read, nothing read as 0.
      {"# mf,rg\n-1e400,2\n", "line 2, column 'mf': '-1e400' is not a finite number"},
      {"# mf,rg\n1,+nan\n", "line 2, column 'rg': '+nan' is not a finite number"},
      {"# mf,rg\n1,\n", "line 2, column 'rg': '' is not a number"},
      {"# mf,rg\n80abc,2\n", "line 2, column 'mf': '80abc' is not a number"},
      {"# mf,rg\n0x50,2\n", "line 2, column 'mf': '0x50' is not a decimal number"},
      {"# mf,rg\n1,0x1p3\n", "line 2, column 'rg': '0x1p3' is not a decimal number"},
      {"# mf,rg\n1e-400,2\n", "line 2, column 'mf': '1e-400' is too small for a double"},
      {"# mf,rg\n# design: lhs\n", "line 1: the design has no rows"},
  };
  for (const auto& [text, message] : refused) {
    dir.Write("bad.csv", text);
    try {
      ReadDesign(dir.File("bad.csv"), plan);
      ADD_FAILURE() << "no error for " << message;
    } catch (const EPlanError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
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

// Spearman's coefficient of two columns without ties: Pearson's of their ranks.
double Spearman(const Matrix& rows, std::size_t a, std::size_t b) {
  const std::size_t n = rows.size();
  const auto ranks = [&](std::size_t j) {
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t x, std::size_t y) { return rows[x][j] < rows[y][j]; });
    std::vector<double> r(n);
    for (std::size_t i = 0; i < n; ++i) r[order[i]] = static_cast<double>(i);
    return r;
  };
  const std::vector<double> x = ranks(a), y = ranks(b);
  const double mean = (static_cast<double>(n) - 1) / 2;
  double sxy = 0, sxx = 0;
  for (std::size_t i = 0; i < n; ++i)
    sxy += (x[i] - mean) * (y[i] - mean), sxx += (x[i] - mean) * (x[i] - mean);
  return sxy / sxx;
}

constexpr const char* kCorrelatedThree =
    "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 0\nmax = 1\n"
    "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"uniform\"\nmin = 0\nmax = 1\n"
    "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"normal\"\nmean = 10\nsd = 2\n";

std::string Correlation(double rank) {
  return "[[correlation]]\na = \"mf\"\nb = \"rg\"\nrank = " + std::to_string(rank) + "\n";
}

// The bias of taking the target as the normal scores' own correlation is up to 0.018; the
// sampling error of the induced rank correlation at 20,000 members is far below 0.008.
TEST_F(PlanTest, RankCorrelations_ReachTheirTargetWithinSamplingError) {
  for (const Method method : {Method::kMonteCarlo, Method::kLatinHypercube})
    for (const double rho : {0.2, 0.5, 0.7, -0.5}) {
      EnsemblePlan plan = ReadPlan(Plan(std::string(kCorrelatedThree) + Correlation(rho)));
      plan.members = 20000;
      const Design d = SampleDesign(plan, method);
      EXPECT_NEAR(Spearman(d.rows, 0, 1), rho, 0.008) << MethodName(method) << " " << rho;
      EXPECT_NEAR(Spearman(d.rows, 0, 2), 0.0, 0.008) << MethodName(method) << " " << rho;
      EXPECT_NEAR(Spearman(d.rows, 1, 2), 0.0, 0.008) << MethodName(method) << " " << rho;
    }
}

// Reordering columns keeps each column's values: the same as without correlations, and a
// Kolmogorov-Smirnov distance to the distribution that shrinks with the members.
TEST_F(PlanTest, RankCorrelations_KeepEveryMarginalDistribution) {
  const boost::math::normal_distribution<double> normal(10, 2);
  for (const Method method : {Method::kMonteCarlo, Method::kLatinHypercube}) {
    double previous = 1;
    for (const int members : {200, 2000, 20000}) {
      EnsemblePlan plan = ReadPlan(Plan(std::string(kCorrelatedThree) + Correlation(0.7)));
      plan.members = members;
      EnsemblePlan independent = plan;
      independent.correlations.clear();
      Design d = SampleDesign(plan, method), free = SampleDesign(independent, method);
      for (std::size_t j = 0; j < 3; ++j) {
        std::vector<double> a, b;
        for (std::size_t i = 0; i < d.rows.size(); ++i)
          a.push_back(d.rows[i][j]), b.push_back(free.rows[i][j]);
        std::sort(a.begin(), a.end()), std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << MethodName(method) << " column " << j;
      }
      double ks = 0;
      std::vector<double> q;
      for (const auto& row : d.rows) q.push_back(row[2]);
      std::sort(q.begin(), q.end());
      const double n = static_cast<double>(q.size());
      for (std::size_t i = 0; i < q.size(); ++i) {
        const double f = boost::math::cdf(normal, q[i]);
        ks = std::max({ks, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
      }
      EXPECT_LT(ks, 1.63 / std::sqrt(n)) << MethodName(method) << " " << members;  // 1 % level
      EXPECT_LT(ks, previous) << MethodName(method) << " " << members;
      previous = ks;
    }
  }
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A plan and a seed give these exact rows on any compiler, library and machine: every
// seeded draw is written out in the program, none left to the standard library.
TEST_F(PlanTest, EveryDesign_IsTheGoldenFileOfItsPlanAndSeed) {
  const std::string golden =
      std::string(std::getenv("KVSORV_SOURCE_DIR")) + "/tests/ensemble/golden/";
  const EnsemblePlan plan = ReadPlan(golden + "designs.toml");
  for (const Method method : {Method::kMonteCarlo, Method::kLatinHypercube, Method::kSobol,
                              Method::kMorris, Method::kOneAtATime}) {
    const std::string name = std::string(MethodName(method)) + ".csv";
    WriteDesign(dir.File(name), SampleDesign(plan, method));
    EXPECT_EQ(ReadBytes(dir.File(name)), ReadBytes(golden + name)) << name;
  }
}

TEST(SeededRandom, ShuffleAndIndicesAreTheWrittenOutAlgorithms) {
  // The engine's 10000th output, as the C++ standard fixes it.
  SeededEngine fixed;
  fixed.discard(9999);
  EXPECT_EQ(fixed(), 9981545732273789042ULL);
  // Indices cover their range evenly, including n = 1 and a range of 2^63 + 1.
  SeededEngine g = StreamEngine(1, 2, 3);
  std::vector<int> counts(3, 0);
  for (int i = 0; i < 30000; ++i) ++counts[UniformIndex(g, 3)];
  for (const int c : counts) EXPECT_NEAR(c, 10000, 400);
  EXPECT_EQ(UniformIndex(g, 1), 0u);
  EXPECT_LE(UniformIndex(g, (1ULL << 63) + 1), 1ULL << 63);
  // Fisher-Yates by hand for three values: position 2 swaps with UniformIndex(3), then
  // position 1 with UniformIndex(2).
  SeededEngine a = StreamEngine(5, 0, 0), b = a;
  std::vector<int> v{0, 1, 2}, expected{0, 1, 2};
  Shuffle(v, a);
  std::swap(expected[2], expected[UniformIndex(b, 3)]);
  std::swap(expected[1], expected[UniformIndex(b, 2)]);
  EXPECT_EQ(v, expected);
}

}  // namespace
}  // namespace kvsorv::ensemble
