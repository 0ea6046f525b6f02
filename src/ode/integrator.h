#pragma once
// The model's integrator: the adaptive Runge-Kutta routines applied to ComputeDerivatives.

#include "model/records.h"
#include "ode/runge_kutta.h"

namespace kvsorv {

// Advances the state vector from x1 to x2 under the given drivers and parameters, with the
// HoldConstant flags of `held` and water coefficient G. Touches no global. Failure kinds as
// for the generic ODEIntegrator; ystart is unchanged on failure.
void ODEIntegrator(StateVector& ystart, int n, int& nok, double x1, double x2, double eps,
                   double h1, double hmin, int& nbad, const drivearray& drivers,
                   const paramarray& params, const statearray& held, double G);

}  // namespace kvsorv
