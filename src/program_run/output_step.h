#pragma once
// The rules that keep the output time step a whole multiple of the time step and no longer
// than the run, and their repair.

#include "program/run_settings.h"

namespace kvsorv {

// Raises EOutputStepTooSmall, EOutputStepTooLarge or EOutputStepNotMultiple when the output
// step s breaks a rule for the given settings (tests in that order); returns otherwise.
void CheckOutputStep(double s, const TRunSettings& settings = RunSettings);

// Checks settings.OutputStep and repairs a value that breaks a rule, telling the user in an
// information box (the rule's message followed by a note). The repaired value is not checked
// again. Marks the output display for reloading. Returns true when a repair was made.
bool RepairOutputStep(TRunSettings& settings = RunSettings);

}  // namespace kvsorv
