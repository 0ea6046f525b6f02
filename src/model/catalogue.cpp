#include "model/catalogue.h"

#include <string>

#include "model/catalogue_tables.h"

namespace kvsorv {

namespace {

ModelCatalogue BuildCatalogue() {
  ModelCatalogue c;
  TModelDef& def = c.def;
  def.modelname = "KVS ORV";
  def.versionname = "3.3.6.5d";
  def.timeunit = "year";
  def.numstate = static_cast<int>(catalogue::kStates.size());
  for (int i = 1; i <= def.numstate; ++i) {
    const auto& e = catalogue::kStates[i - 1];
    c.states[i].name = e.name;
    c.states[i].units = e.units;
    c.states[i].symbol = e.symbol;
  }
  def.numprocess = def.numstate + static_cast<int>(catalogue::kFurtherProcesses.size());
  // Rates of change, named after their state without any blank inserted.
  for (int i = 1; i <= def.numstate; ++i) {
    c.processes[i].name = "d" + c.states[i].name + "dt";
    c.processes[i].units = c.states[i].units + "t-1";
    c.processes[i].symbol = "d" + c.states[i].symbol + "dt";
    c.processes[i].paramcount = 0;
    c.processes[i].flag = false;
  }
  // Further processes; each one's parameters land right after those already placed.
  int nextParam = 0;
  for (int k = def.numstate + 1; k <= def.numprocess; ++k) {
    const auto& e = catalogue::kFurtherProcesses[k - def.numstate - 1];
    c.processes[k].name = e.name;
    c.processes[k].units = e.units;
    c.processes[k].symbol = e.symbol;
    c.processes[k].paramcount = e.paramcount;
    c.processes[k].flag = false;
    for (int q = 1; q <= e.paramcount; ++q) {
      const auto& p = catalogue::kParams[nextParam];
      ++nextParam;
      c.params[nextParam].name = p.name;
      c.params[nextParam].units = p.units;
      c.params[nextParam].symbol = p.symbol;
    }
  }
  def.numparam = nextParam;
  def.numdrivers = static_cast<int>(catalogue::kDrivers.size());
  for (int i = 1; i <= def.numdrivers; ++i) {
    const auto& e = catalogue::kDrivers[i - 1];
    c.drivers[i].name = e.name;
    c.drivers[i].units = e.units;
    c.drivers[i].symbol = e.symbol;
  }
  return c;
}

}  // namespace

const ModelCatalogue& Catalogue() {
  static const ModelCatalogue catalogue = BuildCatalogue();
  return catalogue;
}

int ParamIndex(std::string_view symbol) {
  const ModelCatalogue& c = Catalogue();
  for (int i = 1; i <= c.def.numparam; ++i)
    if (c.params[i].symbol == symbol) return i;
  return 0;
}

std::optional<OutputQuantity> FindOutputQuantity(std::string_view symbol) {
  const ModelCatalogue& c = Catalogue();
  for (int i = 1; i <= c.def.numstate; ++i)
    if (c.states[i].symbol == symbol) return OutputQuantity{OutputKind::kState, i};
  for (int k = 1; k <= c.def.numprocess; ++k)
    if (c.processes[k].symbol == symbol) return OutputQuantity{OutputKind::kProcess, k};
  for (int i = 1; i <= c.def.numdrivers; ++i)
    if (c.drivers[i].symbol == symbol) return OutputQuantity{OutputKind::kDriver, i};
  return std::nullopt;
}

const std::string& UnitsOf(const OutputQuantity& q) {
  const ModelCatalogue& c = Catalogue();
  switch (q.kind) {
    case OutputKind::kProcess:
      return c.processes[q.index].units;
    case OutputKind::kDriver:
      return c.drivers[q.index].units;
    case OutputKind::kState:
      break;
  }
  return c.states[q.index].units;
}

std::string UnitsOfSymbol(std::string_view symbol) {
  const std::optional<OutputQuantity> q = FindOutputQuantity(symbol);
  return q ? UnitsOf(*q) : std::string();
}

}  // namespace kvsorv
