// The analyses' CSV files, whose columns other programs read: each writer's header, and a
// value that could not be computed written as an empty cell.

#include "analysis/analysis_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace kvsorv::analysis {
namespace {

std::string Text(const std::string& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(AnalysisCsv, EachFileHasItsHeaderAndEmptyCellsForValuesNotComputed) {
  testing::TempWorkDir dir;
  const double nan = std::nan("");
  struct Case {
    const char* name;
    std::function<void(const std::string&)> write;
    const char* text;
  };
  const Case cases[] = {
      {"envelope",
       [&](const std::string& f) {
         WriteEnvelopeCsv(
             f, {{"Cf", 1600, 1.5, nan, 1, 2, 1, 1, 1.5, 2, 2, 1, 40, MembersStability(1, 40)}});
       },
       "output,time,mean,sd,min,max,q05,q25,q50,q75,q95,members,design_members,stable,reason\n"
       "Cf,1600,1.5,,1,2,1,1,1.5,2,2,1,40,no,only 1 of 40 members (fewer than 30)\n"},
      {"sobol",
       [&](const std::string& f) {
         WriteSobolCsv(f, {{"Cf",
                            nan,
                            "mf",
                            0.25,
                            0.125,
                            0.5,
                            nan,
                            nan,
                            nan,
                            40,
                            200,
                            SobolIndexStability("S1", 0.25, 0.125, 0.5),
                            {}},
                           {"Cf", 1600, "mf", 0.25, 0.125, 0.5, 1.3, 1.2, 1.4, 40, 200,
                            SobolIndexStability("S1", 0.25, 0.125, 0.5),
                            SobolIndexStability("ST", 1.3, 1.2, 1.4)}});
       },
       "output,time,parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,base_points,"
       "design_base_points,stable,reason\n"
       "Cf,,mf,0.25,0.125,0.5,,,,40,200,,\n"
       "Cf,1600,mf,0.25,0.125,0.5,1.3,1.2,1.4,40,200,no,"
       "ST 1.3 above 1 beyond its interval 1.2 to 1.4\n"},
      {"convergence",
       [&](const std::string& f) {
         WriteConvergenceCsv(f, {{"Cf", 1600, "mf", 10, 1.0 / 3, 0.5, 16}});
       },
       "output,time,parameter,base_points,S1,ST,first_base_points\n"
       "Cf,1600,mf,10,0.3333333333,0.5,16\n"},
      {"morris",
       [&](const std::string& f) {
         WriteMorrisCsv(f,
                        {{"Cf", 1600, "mf", -1, 1, nan, 1, 20, MorrisStability(1, -1, 1, nan, 1)}});
       },
       "output,time,parameter,mu,mu_star,sigma,effects,trajectories,stable,reason\n"
       "Cf,1600,mf,-1,1,,1,20,no,only 1 effect (fewer than 10)\n"},
      {"local",
       [&](const std::string& f) {
         WriteLocalCsv(f, {{"Cf", 1600, "mf", 0.5, 0.25, 0.25, false, {}}});
       },
       "output,time,parameter,coefficient,half_step_coefficient,difference,stable,reason\n"
       "Cf,1600,mf,0.5,0.25,0.25,,\n"},
      {"summary",
       [&](const std::string& f) {
         WriteLocalSummaryCsv(f, {{"Cf", "mf", 1, 2, 3, 4, 5, 6}});
       },
       "output,parameter,L1,L2,mean,min,max,times\nCf,mf,1,2,3,4,5,6\n"},
      {"collinearity",
       [&](const std::string& f) {
         WriteCollinearityCsv(f, {{{"mf", "Q10d"}, INFINITY}, {{"mf", "kc"}, 2}});
       },
       "parameters,size,collinearity\nmf+Q10d,2,\nmf+kc,2,2\n"},
      {"failures",
       [&](const std::string& f) {
         WriteFailuresCsv(f, {{"mf", 82, 78, 0.5, 0.01, 30, 70}});
       },
       "parameter,failed_mean,done_mean,rank_biserial,p_value,failed,done\n"
       "mf,82,78,0.5,0.01,30,70\n"},
  };
  for (const Case& c : cases) {
    const std::string file = dir.File(std::string(c.name) + ".csv");
    c.write(file);
    EXPECT_EQ(Text(file), c.text) << c.name;
  }
  EXPECT_EQ(CompanionFile("out/sobol.csv", "convergence"), "out/sobol-convergence.csv");
}

}  // namespace
}  // namespace kvsorv::analysis
