#include "program/program_equations.h"

#include "model/process_evaluation.h"
#include "program/global_tables.h"

namespace kvsorv {

void ComputeProcesses(const drivearray& drivers, const paramarray& params, statearray& states,
                      processarray& processes, double time, bool insolubleCNCheck) {
  ComputeProcesses(drivers, params, states, processes, time,
                   {.waterCoefficient = WaterCoefficient, .insolubleCNCheck = insolubleCNCheck});
}

}  // namespace kvsorv
