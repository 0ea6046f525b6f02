#pragma once
// The parameter editor's pages: one for each process after the rates of change that has
// parameters, in process order, each with one row per parameter of that process. Row j of
// the page of process p shows parameter slot GetParamOffset(p) + j, which relies on the
// catalogue placing every process's parameters together, in process order.

#include <array>
#include <string>
#include <vector>

namespace kvsorv {

// Columns of a page's ParamGrid and its header row.
inline constexpr int kParamSymbolColumn = 0;
inline constexpr int kParamNameColumn = 1;
inline constexpr int kParamValueColumn = 2;
inline constexpr int kParamUnitsColumn = 3;
inline constexpr int kParamGridColumns = 4;
inline constexpr std::array<const char*, kParamGridColumns> kParamGridHeader = {
    "Parameter", "Parameter Name", "Parameter Value", "Parameter Units"};

struct ParameterRow {
  int slot = 0;  // the parameter's position in Params
  std::string symbol;
  std::string name;
  std::string units;
  std::string valueText;  // the Parameter Value cell, as shown or as typed
};

struct ParameterPage {
  int process = 0;        // the process's position in Processes
  std::string caption;    // the tab: the process name
  std::string symbol;     // LblProcSymbol
  std::string units;      // LblProcUnits
  std::string valueText;  // LblProcValue
  std::vector<ParameterRow> rows;
};

// The pages of the catalogue as the global tables now hold it, with symbols, names and units
// filled in and the value texts empty.
std::vector<ParameterPage> BuildParameterPages();

}  // namespace kvsorv
