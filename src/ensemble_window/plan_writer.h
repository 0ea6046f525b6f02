#pragma once
// An ensemble plan written back as TOML in the form ReadPlan reads: the site and times, the
// members, seed and design settings, each varied parameter with its distribution's
// arguments (a table's values listed), the rank correlations and the outputs.

#include <string>

#include "ensemble/plan.h"

namespace kvsorv::ensemble {

// The plan's text for a file named `fileName`: the parameter and driver files are given
// relative to that file's directory when they lie inside it, else as absolute paths.
std::string PlanText(const EnsemblePlan& plan, const std::string& fileName);

// Writes PlanText to the file, replacing it only once fully written. EInOutError (naming the
// file) when it cannot be written, EPlanError when the text is beyond a plan's bounds
// (plan_bytes.h); the previous file then stays as it was.
void WritePlan(const EnsemblePlan& plan, const std::string& fileName);

}  // namespace kvsorv::ensemble
