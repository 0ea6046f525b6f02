// The results file's layouts: the CF layout's variables, attributes and their types as other
// programs read them; the older layout still read and written alike; the long CSV export.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <netcdf>
#include <sstream>
#include <string>
#include <vector>

#include "ensemble/results_export.h"
#include "ensemble/results_file.h"
#include "ensemble/results_layout.h"
#include "model/catalogue.h"
#include "support/temp_dir.h"

namespace kvsorv::ensemble {
namespace {

// Three members of two parameters, outputs `variables` at times 1600.5 and 2000: output v of
// member m at time t is 10 m + v + t / 1000; member 1 failed, member 2 missing.
std::string MakeFile(const testing::TempWorkDir& dir, const std::string& name, int format,
                     std::vector<std::string> variables = {"Cf", "NEP"}) {
  EnsemblePlan plan;
  plan.file = "plan.toml";
  plan.seed = 18446744073709551615ull;
  plan.parameters = {{"mf", 0, Uniform{0, 1}}, {"Q10d", 0, Uniform{0, 1}}};
  EnsembleSite site;
  site.times = {1600.5, 2000};
  site.variables = std::move(variables);
  Design design;
  design.method = Method::kLatinHypercube;
  design.symbols = {"mf", "Q10d"};
  design.rows = {{0.25, 2}, {0.5, 3}, {0.75, 4}};
  ResultsFile file = ResultsFile::Create(dir.File(name), plan, site, design, "9.9", format);
  for (std::size_t m = 0; m < 2; ++m) {
    MemberResult r;
    r.failed = m == 1;
    r.error = r.failed ? "diverged, at 1700" : "";
    for (const double t : site.times)
      for (std::size_t v = 0; v < site.variables.size(); ++v)
        r.values.push_back(10.0 * static_cast<double>(m) + static_cast<double>(v) + t / 1000);
    file.WriteMember(m, design.rows[m], r);
  }
  return dir.File(name);
}

TEST(ResultsLayout, NewFile_HoldsOneTypedCfVariablePerOutput) {
  testing::TempWorkDir dir;
  const netCDF::NcFile nc(MakeFile(dir, "r.nc", kResultsFormat), netCDF::NcFile::read);
  int format = 0;
  nc.getAtt("results_format").getValues(&format);
  EXPECT_EQ(format, kResultsFormat);
  EXPECT_EQ(nc.getAtt("seed").getType(), netCDF::ncUint64);
  const netCDF::NcVar cf = nc.getVar("Cf");
  ASSERT_EQ(cf.getDimCount(), 2);
  EXPECT_EQ(cf.getDim(0).getName(), "time");
  EXPECT_EQ(cf.getDim(1).getName(), "member");
  std::string units, calendar, realization;
  cf.getAtt("units").getValues(units);
  EXPECT_EQ(units, UnitsOfSymbol("Cf"));
  nc.getVar("time").getAtt("calendar").getValues(calendar);
  EXPECT_EQ(calendar, "365_day");
  nc.getVar("member").getAtt("standard_name").getValues(realization);
  EXPECT_EQ(realization, "realization");
  double days[2], years[2];
  nc.getVar("time").getVar(days);
  nc.getVar("model_year").getVar(years);
  EXPECT_DOUBLE_EQ(days[1], 2000.0 * 365);
  EXPECT_EQ(years[0], 1600.5);
  const netCDF::NcVar status = nc.getVar("status");
  EXPECT_EQ(status.getType(), netCDF::ncByte);
  EXPECT_EQ(status.getAtt("flag_values").getType(), netCDF::ncByte);
  EXPECT_EQ(status.getAtts().count("_FillValue"), 0u);
  signed char statuses[3];
  status.getVar(statuses);
  EXPECT_EQ(statuses[0], 1);
  EXPECT_EQ(statuses[2], 0);
}

TEST(ResultsLayout, OutputsOfSeveralCells_AreNamedBySymbolAndCell) {
  struct Case {
    const char* output;
    const char* variable;
  };
  for (const Case c :
       {Case{"Cf", "Cf"}, Case{"cell2/Cf", "Cf_cell2"}, Case{"cell12/NEP", "NEP_cell12"}})
    EXPECT_EQ(OutputVariableName(c.output), c.variable) << c.output;
  testing::TempWorkDir dir;
  const ResultsFile file =
      ResultsFile::OpenToRead(MakeFile(dir, "cells.nc", kResultsFormat, {"cell1/Cf", "cell2/Cf"}));
  EXPECT_EQ(file.Describe().variables, (std::vector<std::string>{"cell1/Cf", "cell2/Cf"}));
  EXPECT_EQ(file.OutputVariables(), (std::vector<std::string>{"Cf_cell1", "Cf_cell2"}));
}

TEST(ResultsLayout, EitherLayout_ReadsBackWhatWasWritten) {
  testing::TempWorkDir dir;
  for (const int format : {1, kResultsFormat}) {
    const std::string name = MakeFile(dir, "f" + std::to_string(format) + ".nc", format);
    ResultsFile file = ResultsFile::OpenToWrite(name);
    EXPECT_EQ(file.Format(), format);
    MemberResult third;
    third.values = {1, 2, 3, 4};
    file.WriteMember(2, {0.75, 4}, third);  // as a resume or a merge adds a member
    file.Close();
    const ResultsFile read = ResultsFile::OpenToRead(name);
    const ResultsDescription d = read.Describe();
    EXPECT_EQ(d.times, (std::vector<double>{1600.5, 2000})) << format;
    EXPECT_EQ(d.seed, "18446744073709551615") << format;
    EXPECT_EQ(d.parameters, (std::vector<std::string>{"mf", "Q10d"})) << format;
    EXPECT_EQ(read.Statuses()[1], MemberStatus::kFailed) << format;
    EXPECT_EQ(read.ErrorOf(1), "diverged, at 1700") << format;
    std::vector<double> values(3 * 4);
    read.ReadValues(0, 3, 0, 2, values.data());
    const std::vector<double> expected = {1.6005, 2.6005, 2, 3, 11.6005, 12.6005,
                                          12,     13,     1, 2, 3,       4};
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_NEAR(values[i], expected[i], 1e-12) << format << " at " << i;
    EXPECT_TRUE(read.DoneWithoutValues().empty()) << format;
  }
}

TEST(ResultsExport, EveryMemberOutputAndTime_IsARowWithItsParametersAndStatus) {
  testing::TempWorkDir dir;
  ExportTidyCsv(ResultsFile::OpenToRead(MakeFile(dir, "r.nc", kResultsFormat, {"cell1/Cf"})),
                dir.File("r.csv"));
  std::ifstream in(dir.File("r.csv"), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "member,cell,time,output,value,status,mf,Q10d\r\n"
            "0,1,1600.5,Cf,1.6005,done,0.25,2\r\n"
            "0,1,2000,Cf,2,done,0.25,2\r\n"
            "1,1,1600.5,Cf,,failed,0.5,3\r\n"
            "1,1,2000,Cf,,failed,0.5,3\r\n"
            "2,1,1600.5,Cf,,missing,,\r\n"
            "2,1,2000,Cf,,missing,,\r\n");
}

TEST(ResultsExport, Canceled_LeavesTheFormerFileAndNoTemporaryOne) {
  testing::TempWorkDir dir;
  dir.Write("r.csv", "former\n");
  Feedback feedback;
  feedback.Cancel();
  EXPECT_FALSE(
      ExportTidyCsv(ResultsFile::OpenToRead(MakeFile(dir, "r.nc", kResultsFormat, {"cell1/Cf"})),
                    dir.File("r.csv"), &feedback));
  EXPECT_EQ(dir.Read("r.csv"), "former\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.csv.tmp")));
}

}  // namespace
}  // namespace kvsorv::ensemble
