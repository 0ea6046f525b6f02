#pragma once
// The one entry to the model equations.

#include "model/records.h"

namespace kvsorv {

// State vector of the integrator: numstate values addressed from 1.
using StateVector = OneBasedArray<double, kMaxStates>;

// What an evaluation reads besides the tables.
struct EquationSettings {
  double waterCoefficient = 0.0;  // G of the soil-water equations
  bool insolubleCNCheck = false;  // a low insoluble C:N raises ECalculateError
};

// Evaluates all processes and rates of change for the given tables and writes every process
// value. First raises each negative state in `states` to 0.00001 (that clamp stays). Time is
// not used. On any failure (EZeroDivide, EInvalidOp, EOverflow, ECalculateError) nothing is
// written to `processes`; the clamp has already happened. Touches no global.
void ComputeProcesses(const drivearray& drivers, const paramarray& params, statearray& states,
                      processarray& processes, double time, const EquationSettings& settings);

}  // namespace kvsorv
