#pragma once
// What a results file's members were run from besides the plan: the design's values and the
// contents of the files every member reads (the parameter file, the driver file and the base
// driver file beside it). A results file records them, so that members of another design or
// of a site whose files changed are never mixed into it.

#include <string>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/sampling.h"

namespace kvsorv::ensemble {

// A fingerprint (16 hexadecimal digits) with the attribute that keeps it and what it covers.
struct GuardEntry {
  std::string attribute;    // "design_fingerprint", "params_fingerprint", ...
  std::string what;         // "the design", "the parameter file 'cell1.par'", ...
  std::string fingerprint;  // "" when it cannot be known
};

// The attributes GuardOf fills, in its order, with what each covers in words.
struct GuardKind {
  const char* attribute;
  const char* what;
};
inline constexpr GuardKind kGuardKinds[] = {
    {"design_fingerprint", "the design"},
    {"params_fingerprint", "the parameter file"},
    {"drivers_fingerprint", "the driver file"},
    {"base_drivers_fingerprint", "the base driver file"},
};

// The design's entry first, then one for each input file; a file that cannot be read has an
// empty fingerprint (and is left unguarded).
std::vector<GuardEntry> GuardOf(const EnsemblePlan& plan, const Design& design);

// Every file the plan and its members read: the plan, the parameter file, each cell's driver
// file, the base driver file and the files of 'table' distributions. A command writes none.
std::vector<std::string> InputFilesOf(const EnsemblePlan& plan);

}  // namespace kvsorv::ensemble
