#pragma once
// The blocks of one process evaluation, on plain value arrays. ComputeProcesses (in
// process_evaluation.h) gathers the tables into ModelInputs, runs the blocks in order and
// stores the result; nothing here touches a model table.

#include <optional>

#include "model/driver_terms.h"
#include "model/model_indices.h"
#include "model/one_based_array.h"
#include "model/records.h"

namespace kvsorv {

// Driver, parameter and (already clamped) state values, addressed like their tables.
struct ModelInputs {
  OneBasedArray<double, kNumDrivers> drivers;
  OneBasedArray<double, kNumParams> params;
  OneBasedArray<double, kNumStates> states;
  OneBasedArray<bool, kNumStates> hold;
  // The driver-only terms, when computed ahead for many evaluations on the same drivers.
  std::optional<DriverTerms> terms;
  double waterCoefficient = 0.0;  // G, for derivative evaluations on prepared inputs
};

// One value per process, addressed like the process table (rates 1..19, then the rest).
using ProcessValues = OneBasedArray<double, kNumProcesses>;

// Tissue C:N ratios and air temperature: CNf, CNw, CNr, Ta.
void ComputePlantRatios(const ModelInputs& in, ProcessValues& v);

// Soil temperature, soil water, discharge, evapotranspiration and the ammonium partition:
// Ts, W, Qw, Et, Nnh4aq, Nnh4s, Qnh4. G is the water coefficient.
void ComputeWaterAndAmmonium(const ModelInputs& in, double G, ProcessValues& v);

// Photosynthesis through litterfall (needs W, Qw, Nnh4aq).
void ComputePlantProcesses(const ModelInputs& in, ProcessValues& v);

// Litter partition, decomposition and the soil nitrogen transfers. With insolubleCNCheck
// set, an insoluble C:N at or below its target raises ECalculateError.
void ComputeSoilProcesses(const ModelInputs& in, bool insolubleCNCheck, ProcessValues& v);

// Plant and soil totals, NEP and the process Sp.
void ComputeTotals(const ModelInputs& in, ProcessValues& v);

// Rates of change of the 19 states (0 for a held state).
void ComputeRates(const ModelInputs& in, ProcessValues& v);

// Driver and parameter values gathered from their tables, the HoldConstant flags of `held`
// and the water coefficient G: everything a derivative evaluation needs besides the state
// values. The integrator gathers these once per interval instead of once per evaluation,
// together with the driver-only terms of the equations.
ModelInputs PrepareDerivativeInputs(const drivearray& drivers, const paramarray& params,
                                    const statearray& held, double G);

// ComputeDerivatives on prepared inputs: the states of `in` are overwritten from y.
void ComputeDerivatives(ModelInputs& in, const OneBasedArray<double, kMaxStates>& y,
                        OneBasedArray<double, kMaxStates>& dydt);

// All blocks in order. Math faults raise EZeroDivide, EInvalidOp or EOverflow; with
// insolubleCNCheck set, a low insoluble C:N raises ECalculateError.
void EvaluateProcesses(const ModelInputs& in, double G, bool insolubleCNCheck, ProcessValues& v);

}  // namespace kvsorv
