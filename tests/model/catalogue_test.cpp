// The model records, the global tables, the catalogue and GetParamOffset.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/catalogue_listing.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"

namespace kvsorv {
namespace {

using CatalogueTest = testing::ModelTest;

TEST_F(CatalogueTest, ModelDefinitionAndCounts) {
  EXPECT_EQ(ModelDef.modelname, "KVS ORV");
  EXPECT_EQ(ModelDef.versionname, "3.3.6.5d");
  EXPECT_EQ(ModelDef.timeunit, "year");
  EXPECT_EQ(ModelDef.numstate, 19);
  EXPECT_EQ(ModelDef.numdrivers, 9);
  EXPECT_EQ(ModelDef.numprocess, 126);
  EXPECT_EQ(ModelDef.numparam, 88);
}

TEST_F(CatalogueTest, SampledEntriesAsTabled) {
  struct Case {
    const Tparamvariable& entry;
    const char* name;
    const char* units;
    const char* symbol;
  };
  const Case cases[] = {
      {Drivers[1], "CO2", "ppmv", "Ca"},
      {Drivers[7], "Plant Act Seas Leng", "days", "Sp"},
      {Drivers[9], "Soil flag", "", "flaghumus"},
      {Params[1], "Site Latitude", "degrees", "Deltad"},
      {Params[14], "NH4 half sat. ct.", "umol N L-1soil H2O", "knh4"},
      {Params[88], "Soil Depth", "m", "z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.entry.name, c.name);
    EXPECT_EQ(c.entry.units, c.units);
    EXPECT_EQ(c.entry.symbol, c.symbol);
  }
  EXPECT_EQ(States[16].name, "Humus SC");
  EXPECT_EQ(States[19].symbol, "Nnh4");
  EXPECT_EQ(Processes[24].name, "Photosynthesis");
  EXPECT_EQ(Processes[24].paramcount, 10);
  EXPECT_EQ(Processes[93].name, "Plant Season Length");
  EXPECT_EQ(Processes[93].symbol, "Sp");
  EXPECT_EQ(Processes[126].name, "Evapotranspiration");
  EXPECT_EQ(Processes[126].units, "m H20 yr-1");
}

TEST_F(CatalogueTest, RateProcessesAreGeneratedByPlainConcatenation) {
  EXPECT_EQ(Processes[1].name, "dFoliage Carbondt");
  EXPECT_EQ(Processes[1].units, "gC m-2groundt-1");
  EXPECT_EQ(Processes[1].symbol, "dCfdt");
  EXPECT_EQ(Processes[19].name, "dSoil NH4dt");
  EXPECT_EQ(Processes[19].units, "gN m-2groundt-1");
  EXPECT_EQ(Processes[19].symbol, "dNnh4dt");
  for (int i = 1; i <= 19; ++i) EXPECT_EQ(Processes[i].paramcount, 0) << i;
}

TEST_F(CatalogueTest, SymbolsUniqueWithinEachTable) {
  auto unique = [](const auto& table, int count) {
    std::set<std::string> seen;
    for (int i = 1; i <= count; ++i) seen.insert(table[i].symbol);
    return static_cast<int>(seen.size()) == count;
  };
  EXPECT_TRUE(unique(States, 19));
  EXPECT_TRUE(unique(Drivers, 9));
  EXPECT_TRUE(unique(Params, 88));
  EXPECT_TRUE(unique(Processes, 126));
}

TEST_F(CatalogueTest, CatalogueWritesNoValuesOrFlags) {
  for (int i = 1; i <= kMaxStates; ++i) {
    EXPECT_EQ(States[i].value, 0.0);
    EXPECT_FALSE(States[i].HoldConstant);
  }
  for (int i = 1; i <= kMaxParams; ++i) EXPECT_EQ(Params[i].value, 0.0);
  for (int i = 1; i <= kMaxProcesses; ++i) {
    EXPECT_EQ(Processes[i].value, 0.0);
    EXPECT_FALSE(Processes[i].flag);
  }
}

TEST_F(CatalogueTest, SlotsBeyondTheUsedCountAreEmpty) {
  EXPECT_EQ(States[20].name, "");
  EXPECT_EQ(States[20].value, 0.0);
  EXPECT_EQ(Drivers[10].symbol, "");
  EXPECT_EQ(Params[89].name, "");
  EXPECT_EQ(Processes[127].name, "");
  EXPECT_EQ(Processes[200].paramcount, 0);
}

TEST_F(CatalogueTest, ParamOffsets) {
  struct Case {
    int process;
    int offset;
  };
  const Case cases[] = {
      {1, 0}, {19, 0}, {20, 0}, {24, 0}, {25, 10}, {83, 65}, {116, 84},
  };
  for (const auto& c : cases) EXPECT_EQ(GetParamOffset(c.process), c.offset) << c.process;
  EXPECT_EQ(GetParamOffset(126) + Processes[126].paramcount, 88);
  EXPECT_EQ(GetParamOffset(116) + Processes[116].paramcount, 88);
}

TEST_F(CatalogueTest, EveryParameterSitsInItsProcessGroup) {
  // The compile-time positions used by the equations agree with the run-time offsets.
  EXPECT_EQ(prm::Deltad, GetParamOffset(proc::Ps) + 1);
  EXPECT_EQ(prm::aTau, GetParamOffset(proc::tauN) + 1);
  EXPECT_EQ(prm::rho, GetParamOffset(proc::Nnh4aq) + 3);
  EXPECT_EQ(prm::z, GetParamOffset(proc::Nnh4aq) + 4);
  for (int k = 20; k <= 126; ++k) EXPECT_EQ(catalogue::ParamOffsetOf(k), GetParamOffset(k)) << k;
}

TEST_F(CatalogueTest, CopyingStatesCarriesHoldConstant) {
  States[3].HoldConstant = true;
  States[3].value = 12.5;
  const statearray copy = States;
  EXPECT_TRUE(copy[3].HoldConstant);
  EXPECT_EQ(copy[3].value, 12.5);
  EXPECT_EQ(copy[3].name, "Root Carbon");
  EXPECT_EQ(copy, States);
}

TEST_F(CatalogueTest, ListingHasFourHeadedTables) {
  const std::string listing = FormatCatalogueListing();
  EXPECT_EQ(listing.rfind("States\n1\tCf\tFoliage Carbon\tgC m-2ground\n", 0), 0u);
  EXPECT_NE(listing.find("\nDrivers\n1\tCa\tCO2\tppmv\n"), std::string::npos);
  EXPECT_NE(listing.find("\n9\tflaghumus\tSoil flag\t\n"), std::string::npos);
  EXPECT_NE(listing.find("\nParameters\n1\tDeltad\tSite Latitude\tdegrees\n"), std::string::npos);
  EXPECT_NE(listing.find("\nProcesses\n1\tdCfdt\tdFoliage Carbondt\tgC m-2groundt-1\n"),
            std::string::npos);
  EXPECT_NE(listing.find("\n126\tEt\tEvapotranspiration\tm H20 yr-1\n"), std::string::npos);
  int lines = 0;
  for (char c : listing) lines += c == '\n';
  EXPECT_EQ(lines, 4 + 19 + 9 + 88 + 126);
}

}  // namespace
}  // namespace kvsorv
