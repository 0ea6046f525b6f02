#pragma once
// The model's processes evaluated as the program's windows and commands evaluate them: with
// the program's water coefficient.

#include "model/records.h"

namespace kvsorv {

// ComputeProcesses with the global WaterCoefficient. Failures as for ComputeProcesses.
void ComputeProcesses(const drivearray& drivers, const paramarray& params, statearray& states,
                      processarray& processes, double time, bool insolubleCNCheck = false);

}  // namespace kvsorv
