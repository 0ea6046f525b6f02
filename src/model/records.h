#pragma once
// The model's vocabulary: records for parameters, drivers, states and processes,
// the model definition, and the fixed-capacity tables that hold them.
// All tables are addressed from 1; copying a record or a table copies every field.

#include <cstdint>
#include <string>

#include "model/one_based_array.h"

namespace kvsorv {

// One parameter or one driver.
struct Tparamvariable {
  std::string name;
  double value = 0.0;
  std::string units;
  std::string symbol;
  friend bool operator==(const Tparamvariable&, const Tparamvariable&) = default;
};

// One state variable. HoldConstant forces its rate of change to 0; it is never stored in a file.
struct Tstatevariable {
  std::string name;
  double value = 0.0;
  std::string units;
  std::string symbol;
  bool HoldConstant = false;
  friend bool operator==(const Tstatevariable&, const Tstatevariable&) = default;
};

// One process: a rate of change, a flux or a derived quantity.
struct Tprocessvariable {
  std::string name;
  double value = 0.0;
  std::string units;
  std::string symbol;
  std::int32_t paramcount = 0;
  bool flag = false;
  friend bool operator==(const Tprocessvariable&, const Tprocessvariable&) = default;
};

// The model definition: names, version of the parameter-file format, and counts in use.
struct TModelDef {
  std::string modelname;
  std::string versionname;
  std::string timeunit;
  std::int32_t numdrivers = 0;
  std::int32_t numstate = 0;
  std::int32_t numprocess = 0;
  std::int32_t numparam = 0;
  friend bool operator==(const TModelDef&, const TModelDef&) = default;
};

inline constexpr int kMaxStates = 20;
inline constexpr int kMaxDrivers = 10;
inline constexpr int kMaxParams = 200;
inline constexpr int kMaxProcesses = 200;

using statearray = OneBasedArray<Tstatevariable, kMaxStates>;
using drivearray = OneBasedArray<Tparamvariable, kMaxDrivers>;
using paramarray = OneBasedArray<Tparamvariable, kMaxParams>;
using processarray = OneBasedArray<Tprocessvariable, kMaxProcesses>;

}  // namespace kvsorv
