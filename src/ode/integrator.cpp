#include "ode/integrator.h"

#include "model/model_equations.h"

namespace kvsorv {

void ODEIntegrator(StateVector& ystart, int n, int& nok, double x1, double x2, double eps,
                   double h1, double hmin, int& nbad, const drivearray& drivers,
                   const paramarray& params, const statearray& held, double G) {
  // Drivers, parameters and held states stay fixed across the interval: gather them, and the
  // terms of the equations that depend on them alone, once.
  ModelInputs inputs = PrepareDerivativeInputs(drivers, params, held, G);
  auto derivs = [&inputs](double, const StateVector& y, StateVector& dydx) {
    ComputeDerivatives(inputs, y, dydx);
  };
  ODEIntegrator(ystart, n, nok, x1, x2, eps, h1, hmin, nbad, derivs);
}

}  // namespace kvsorv
