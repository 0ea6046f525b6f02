#include "integration/integrator.h"

namespace kvsorv {

void ODEIntegrator(StateVector& ystart, int n, int& nok, double x1, double x2, double eps,
                   double h1, double hmin, int& nbad, const drivearray& drivers,
                   const paramarray& params) {
  auto derivs = [&](double x, const StateVector& y, StateVector& dydx) {
    ComputeDerivatives(drivers, params, y, x, dydx);
  };
  ODEIntegrator(ystart, n, nok, x1, x2, eps, h1, hmin, nbad, derivs);
}

}  // namespace kvsorv
