#include "steady_state/steady_state_labels.h"

#include <algorithm>
#include <array>

#include "program/global_tables.h"

namespace kvsorv {

namespace {

constexpr std::string_view kUnits = "Units";

// Entered fields the window leaves out of the tab order.
constexpr std::array<std::string_view, 12> kOutOfTabOrder = {
    "NPPf", "NPPw", "NPPr", "sigmaF", "sigmaW", "sigmaR",
    "mf",   "aTCW", "aTNW", "beta",   "gammar", "p",
};

// Entered fields whose labels are not underlined.
constexpr std::array<std::string_view, 2> kNotUnderlined = {"aTCW", "aTNW"};

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

template <std::size_t N>
bool IsOneOf(std::string_view symbol, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), symbol) != list.end();
}

const Tparamvariable* Quantity(QuantityKind kind, int index) {
  if (index < 1) return nullptr;
  switch (kind) {
    case QuantityKind::kDriver:
      return &Drivers[index];
    case QuantityKind::kParameter:
      return &Params[index];
    default:
      return nullptr;
  }
}

}  // namespace

ComponentBinding BindComponent(std::string_view name, bool isLabel) {
  ComponentBinding b;
  std::size_t prefix = 0;
  if (Contains(name, "State")) {
    b.kind = QuantityKind::kState;
    prefix = isLabel ? 8 : 7;
  } else if (Contains(name, "Drive")) {
    b.kind = QuantityKind::kDriver;
    prefix = isLabel ? 8 : 7;
  } else if (Contains(name, "Par")) {
    b.kind = QuantityKind::kParameter;
    prefix = isLabel ? 7 : 6;
  } else {
    b.kind = QuantityKind::kProcess;
    prefix = isLabel ? 3 : 2;
  }
  std::string rest(name.substr(std::min(prefix, name.size())));
  if (isLabel) {
    const auto units = rest.find(kUnits);
    if (units != std::string::npos) {
      rest.erase(units, kUnits.size());
      b.unitsLabel = true;
    }
  }
  b.symbol = rest;
  b.index = SteadyStateSolver::GetArrayIndex(b.kind, b.symbol);
  return b;
}

std::string LabelComponentName(const SteadyStateField& field, bool unitsLabel) {
  // The edit field's name with "Me" replaced by "Lbl".
  std::string name = "Lbl" + FieldComponentName(field).substr(2);
  if (unitsLabel) name += kUnits;
  return name;
}

std::string LabelCaption(const ComponentBinding& b, LabelMode mode) {
  if (b.index < 1) return {};
  std::string_view name, units, symbol;
  if (b.kind == QuantityKind::kState) {
    const Tstatevariable& s = States[b.index];
    name = s.name, units = s.units, symbol = s.symbol;
  } else if (b.kind == QuantityKind::kProcess) {
    const Tprocessvariable& p = Processes[b.index];
    name = p.name, units = p.units, symbol = p.symbol;
  } else if (const Tparamvariable* q = Quantity(b.kind, b.index)) {
    name = q->name, units = q->units, symbol = q->symbol;
  }
  if (b.unitsLabel) return std::string(units);
  return std::string(mode == LabelMode::kNames ? name : symbol);
}

bool LabelUnderlined(const SteadyStateField& field) {
  if (field.kind == QuantityKind::kDriver) return true;
  return field.role == FieldRole::kEntered && !IsOneOf(field.symbol, kNotUnderlined);
}

bool InTabOrder(const SteadyStateField& field) {
  return field.role == FieldRole::kEntered && !IsOneOf(field.symbol, kOutOfTabOrder);
}

}  // namespace kvsorv
