#pragma once
// The fields of the steady-state window: which quantity each shows, whether the user enters
// it, the solver derives it or it is only shown, and the group box it sits in, in reading
// order. The window builds its rows from this table; the session judges and commits by it.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "steady_state/steady_state_solver.h"

namespace kvsorv {

enum class FieldRole { kEntered, kDerived, kShown };
enum class GroupPlacement { kFullWidth, kLeft, kRight };

struct SteadyStateGroup {
  std::string_view name;   // component name, e.g. "GbState"
  std::string_view title;  // caption, e.g. "State Variables"
  GroupPlacement placement;
  bool disabledOnFailure;  // one of the nine boxes a failed interactive solve disables
};

struct SteadyStateField {
  QuantityKind kind;
  std::string_view symbol;
  FieldRole role;
  int group;  // position in SteadyStateGroups()
};

// The group boxes, in reading order.
std::span<const SteadyStateGroup> SteadyStateGroups();

// Every edit field of the window, group by group; within a group entered fields first, then
// derived, then shown-only ones.
std::span<const SteadyStateField> SteadyStateFields();

// Component name of a field's edit control: "MeState", "MeDrive", "MePar_" or "Me" followed
// by the symbol (e.g. "MeStateCf", "MePar_AlambdaF", "MeNPPf").
std::string FieldComponentName(const SteadyStateField& field);

// Symbols of the fields the user can type into, in reading order.
std::vector<std::string_view> EntryFieldSymbols();

// The entry field with that symbol (case-sensitive), or nullptr when the symbol names no
// field the user can type into.
const SteadyStateField* FindEntryField(std::string_view symbol);

}  // namespace kvsorv
