#include "support/model_fixture.h"

#include <string>
#include <utility>

#include "model/catalogue.h"
#include "program/global_tables.h"
#include "program/program_state.h"

namespace kvsorv::testing {

namespace {

template <typename Table>
double& ValueBySymbol(Table& table, int count, std::string_view symbol) {
  for (int i = 1; i <= count; ++i)
    if (table[i].symbol == symbol) return table[i].value;
  ADD_FAILURE() << "unknown symbol " << symbol;
  static double dummy = 0.0;
  return dummy;
}

// The tables passed in may be private copies without names; take positions from the
// global catalogue instead.
int IndexBySymbol(const auto& table, int count, std::string_view symbol) {
  for (int i = 1; i <= count; ++i)
    if (table[i].symbol == symbol) return i;
  ADD_FAILURE() << "unknown symbol " << symbol;
  return 1;
}

constexpr std::pair<std::string_view, double> kDrivers[] = {
    {"Ca", 350},   {"Tamax", 21}, {"Tamin", 9}, {"I", 18},        {"Ppt", 1.1},
    {"Dnh4", 0.8}, {"Sp", 180},   {"Ss", 150},  {"flaghumus", 1},
};

constexpr std::pair<std::string_view, double> kStates[] = {
    {"Cf", 200},       {"Cw", 10000}, {"Cr", 400},    {"Nf", 5},     {"Nw", 40},
    {"Nr", 10},        {"Clf", 10},   {"Clw", 250},   {"Clr", 20},   {"Nlf", 0.2},
    {"Nlw", 2},        {"Nlr", 0.4},  {"Cs", 50},     {"Ce", 300},   {"Ci", 1500},
    {"Ch", 8667.5958}, {"Na", 55},    {"Nh", 384.28}, {"Nnh4", 1.0},
};

constexpr std::pair<std::string_view, double> kParams[] = {
    {"Deltad", 42.5},  {"daymid", 200},    {"mf", 80},        {"aNf", 1.0},       {"Ww", 0.12},
    {"Wf", 0.4},       {"Psiw", 1.5},      {"Psif", 0.03},    {"kappaL", 10},     {"Sc", 2},
    {"aTau", 0.5},     {"qu0", 30},        {"Unh4max", 0.01}, {"knh4", 10},       {"Kcf", 100},
    {"KCa", 100},      {"KCb", 100},       {"Kcw", 100},      {"Kcr", 100},       {"Knf", 10},
    {"KNa", 10},       {"KNb", 10},        {"Knw", 10},       {"Knr", 10},        {"aTCF", 1},
    {"aTCW", 0.01},    {"aTCR", 0.05},     {"aTNF", 1},       {"aTNW", 1},        {"aTNR", 1},
    {"gCFm", 1},       {"kGCF", 0.5},      {"aGCF", 0.1},     {"bGCF", 5},        {"gCWm", 0.1},
    {"kGCW", 5},       {"aGCW", 1},        {"bGCW", 50},      {"gCRm", 1},        {"kGCR", 0.5},
    {"aGCR", 0.1},     {"bGCR", 5},        {"gNFm", 1},       {"kGNF", 0.5},      {"aGNF", 0.1},
    {"bGNF", 2},       {"gNWm", 0.1},      {"kGNW", 5},       {"aGNW", 1},        {"bGNW", 20},
    {"gNRm", 1},       {"kGNR", 0.5},      {"aGNR", 0.1},     {"bGNR", 2},        {"h1", 5},
    {"h2", 0.75},      {"AlambdaF", 1},    {"sigmaF", 1},     {"AlambdaW", 0.02}, {"sigmaW", 1},
    {"AlambdaR", 0.3}, {"sigmaR", 1},      {"rm", 10},        {"aWR", 0.5},       {"rg", 0.25},
    {"gammar", 0.1},   {"Trmax", 45},      {"Tropt", 25},     {"Q10d", 2},        {"Ase", 0.02},
    {"Aei", 0.002},    {"Aie", 0.0005},    {"Aih", 0.0002},   {"beta", 0.5},      {"Ah", 3.5e-05},
    {"qI", 22},        {"VImax", 0.01},    {"kIm", 20},       {"Wdmin", 50},      {"Wdopt", 150},
    {"JdWmax", 0.5},   {"phiD", 1.5},      {"p", 1},          {"Ep", 0.6},        {"etanh4", 100},
    {"Nnh4mx", 1e-05}, {"rho", 1000000.0}, {"z", 0.3},
};

}  // namespace

void FillExampleDrivers(drivearray& drivers) {
  for (const auto& [symbol, value] : kDrivers)
    drivers[IndexBySymbol(Drivers, ModelDef.numdrivers, symbol)].value = value;
}
void FillExampleStates(statearray& states) {
  for (const auto& [symbol, value] : kStates)
    states[IndexBySymbol(States, ModelDef.numstate, symbol)].value = value;
}
void FillExampleParams(paramarray& params) {
  for (const auto& [symbol, value] : kParams)
    params[IndexBySymbol(Params, ModelDef.numparam, symbol)].value = value;
}

double& StateValue(statearray& states, std::string_view symbol) {
  return states[IndexBySymbol(States, ModelDef.numstate, symbol)].value;
}
double& DriverValue(drivearray& drivers, std::string_view symbol) {
  return drivers[IndexBySymbol(Drivers, ModelDef.numdrivers, symbol)].value;
}
double& ParamValue(paramarray& params, std::string_view symbol) {
  return params[IndexBySymbol(Params, ModelDef.numparam, symbol)].value;
}
double ProcessValue(const processarray& processes, std::string_view symbol) {
  return processes[IndexBySymbol(Processes, ModelDef.numprocess, symbol)].value;
}

void ModelTest::SetUp() {
  ResetProgramState();
}

void ModelTest::TearDown() {
  SetUp();
}

void ModelTest::LoadExample() {
  FillExampleDrivers(Drivers);
  FillExampleStates(States);
  FillExampleParams(Params);
}

}  // namespace kvsorv::testing
