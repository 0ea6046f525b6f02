#pragma once
// How the steady-state window names, binds and captions its controls: every name label,
// units label and edit field carries its quantity's kind and symbol in its component name,
// and the window binds each control by that name alone.

#include <string>
#include <string_view>

#include "steady_state/steady_state_fields.h"

namespace kvsorv {

// What a control's component name says.
struct ComponentBinding {
  QuantityKind kind = QuantityKind::kProcess;
  std::string symbol;
  bool unitsLabel = false;  // a label showing the units rather than the name
  int index = 0;            // the quantity's index in its kind's table; 0 when unknown
};

// Binds a label ("LblState...", "LblDrive...", "LblPar_...", "Lbl...", a units label ending
// in "Units") or an edit field ("MeState...", "MeDrive...", "MePar_...", "Me...") by its
// name: the kind from "State", "Drive" or "Par" anywhere in it (tested in that order, any
// other is a process), the prefix cut by its length, the index looked up in the catalogue.
ComponentBinding BindComponent(std::string_view componentName, bool isLabel);

// Component names of a field's name label and units label ("LblStateCf", "LblStateCfUnits").
std::string LabelComponentName(const SteadyStateField& field, bool unitsLabel);

enum class LabelMode { kNames, kSymbols };

// A label's caption from the global tables: the units for a units label, otherwise the
// quantity's name or symbol. Empty for an unbound control.
std::string LabelCaption(const ComponentBinding& binding, LabelMode mode);

// Whether a field's name label is underlined: entered fields (but aTCW and aTNW) and drivers.
bool LabelUnderlined(const SteadyStateField& field);

// Whether Tab stops at a field: entered fields, but NPPf, NPPw, NPPr, sigmaF, sigmaW, sigmaR,
// mf, aTCW, aTNW, beta, gammar and p.
bool InTabOrder(const SteadyStateField& field);

}  // namespace kvsorv
