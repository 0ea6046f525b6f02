#pragma once
// The model's fixed vocabulary as tables: the name, units, symbol and parameter count of every
// state, driver, parameter and process, in catalogue order, and the model's definition. Built
// once on first use and never changed, so any thread may read it without the program's
// mutable global tables.

#include <optional>
#include <string_view>

#include "model/records.h"

namespace kvsorv {

struct ModelCatalogue {
  TModelDef def;  // model and version names, time unit and the four counts
  statearray states;
  drivearray drivers;
  paramarray params;
  processarray processes;  // the rates of change (1..numstate), then the further processes
};

// The catalogue. Values and HoldConstant flags in its tables are 0 and false.
const ModelCatalogue& Catalogue();

// Position of the parameter with this symbol, 0 when there is none.
int ParamIndex(std::string_view symbol);

// A quantity of the output lines: a state, a process or a driver.
enum class OutputKind { kState, kProcess, kDriver };

struct OutputQuantity {
  OutputKind kind = OutputKind::kState;
  int index = 0;
};

// The quantity of the output lines with this symbol: a state, else a process, else a driver.
std::optional<OutputQuantity> FindOutputQuantity(std::string_view symbol);

// The units of a quantity of the output lines.
const std::string& UnitsOf(const OutputQuantity& q);

// The units of the output quantity with this symbol; "" when there is none.
std::string UnitsOfSymbol(std::string_view symbol);

}  // namespace kvsorv
