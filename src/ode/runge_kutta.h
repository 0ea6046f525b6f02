#pragma once
// Adaptive fourth-order Runge-Kutta integration with step-doubling error control.
// The pieces are separate: RK4Step takes one plain step, RKQualityControl one step with
// error control, ODEIntegrator drives the steps across an interval. The right-hand side is
// any callable `void(double x, const StateVector& y, StateVector& dydx)`. All vectors are
// fixed arrays in the routines' frames; nothing is allocated.

#include <cmath>

#include "model/checked_math.h"
#include "model/errors.h"
#include "model/process_evaluation.h"

namespace kvsorv {

namespace rk {
inline constexpr double kSafety = 0.9;
inline constexpr double kShrinkExponent = -0.1;
inline constexpr double kGrowExponent = -0.2;
inline constexpr double kGrowthLimit = 0.0006;  // errmax at or below this grows the step by 4
inline constexpr double kGrowthFactor = 4.0;
inline constexpr double kErrorCorrection = 0.06666666;  // eight digits, not exactly 1/15
inline constexpr int kMaxSteps = 10000;
inline constexpr double kTiny = 1e-30;
inline constexpr double kZeroDivideRetry = 0.5;
}  // namespace rk

inline constexpr const char* kStepTooSmallInQualityControl =
    "Step size too small in routine RKQualityControl";
inline constexpr const char* kStepTooSmallInIntegrator =
    "Step size too small in routine ODEIntegrator";

// Error scale of one state: its own size, or eps for a state near zero, plus the change the
// step would make, plus a tiny amount so the scale is never zero.
inline double ErrorScale(double y, double dydx, double h, double eps) {
  const double s = std::fabs(y) > eps ? std::fabs(y) : std::fabs(eps);
  return s + std::fabs(dydx * h) + rk::kTiny;
}

// One classic Runge-Kutta step of size h from (x, y) with slope dydx; result in yout.
template <typename Derivs>
void RK4Step(const StateVector& y, const StateVector& dydx, int n, double x, double h,
             StateVector& yout, Derivs& derivs) {
  // The derivative function writes the slopes whole: nothing to zero first.
  StateVector yt, dyt(kNoInit), dym(kNoInit);
  const double hh = 0.5 * h;
  const double h6 = h / 6.0;
  const double xh = x + hh;
  for (int i = 1; i <= n; ++i) yt[i] = y[i] + hh * dydx[i];
  derivs(xh, yt, dyt);
  for (int i = 1; i <= n; ++i) yt[i] = y[i] + hh * dyt[i];
  derivs(xh, yt, dym);
  for (int i = 1; i <= n; ++i) {
    yt[i] = y[i] + h * dym[i];
    dym[i] += dyt[i];
  }
  derivs(x + h, yt, dyt);
  for (int i = 1; i <= n; ++i) yout[i] = fp::Finite(y[i] + h6 * (dydx[i] + dyt[i] + 2.0 * dym[i]));
}

// One step with error control, starting with size htry. Advances x and y, overwrites dydx,
// and returns the size taken (hdid) and the size to try next (hnext). A division by zero
// in a trial halves the step. Raises EStepTooSmall when the step no longer changes x.
template <typename Derivs>
void RKQualityControl(StateVector& y, StateVector& dydx, int n, double& x, double htry, double eps,
                      const StateVector& yscal, double& hdid, double& hnext, Derivs& derivs) {
  const double xsav = x;
  const StateVector ysav = y;
  const StateVector dysav = dydx;
  const StateVector scale = yscal;
  StateVector ytemp;
  double h = htry;
  for (;;) {
    try {
      const double hh = 0.5 * h;
      RK4Step(ysav, dysav, n, xsav, hh, ytemp, derivs);
      x = xsav + hh;
      derivs(x, ytemp, dydx);
      RK4Step(ytemp, dydx, n, x, hh, y, derivs);
      x = xsav + h;
      if (x == xsav) throw EStepTooSmall(kStepTooSmallInQualityControl);
      RK4Step(ysav, dysav, n, xsav, h, ytemp, derivs);
      double errmax = 0.0;
      for (int i = 1; i <= n; ++i) {
        ytemp[i] = y[i] - ytemp[i];
        errmax = std::fmax(errmax, std::fabs(fp::Div(ytemp[i], scale[i])));
      }
      errmax = fp::Div(errmax, eps);
      if (errmax > 1.0) {
        h = rk::kSafety * h * fp::Power(errmax, rk::kShrinkExponent);
        continue;
      }
      hdid = h;
      hnext = errmax > rk::kGrowthLimit ? rk::kSafety * h * fp::Power(errmax, rk::kGrowExponent)
                                        : rk::kGrowthFactor * h;
      break;
    } catch (const EZeroDivide&) {
      h = rk::kZeroDivideRetry * h;
      // A derivative that fails at every size would otherwise halve h forever.
      if (xsav + h == xsav) throw EStepTooSmall(kStepTooSmallInQualityControl);
    }
  }
  for (int i = 1; i <= n; ++i) y[i] = fp::Finite(y[i] + rk::kErrorCorrection * ytemp[i]);
}

// Integrates ystart from x1 to x2 (backwards when x2 < x1) with relative accuracy eps, first
// step h1 and smallest allowed step hmin; counts good and bad steps. ystart is written only
// on success. Raises EStepTooSmall, ETooManySteps, and every error of derivs other than a
// division by zero inside a trial.
template <typename Derivs>
void ODEIntegrator(StateVector& ystart, int n, int& nok, double x1, double x2, double eps,
                   double h1, double hmin, int& nbad, Derivs& derivs) {
  double x = x1;
  double h = x2 > x1 ? std::fabs(h1) : -std::fabs(h1);
  nok = 0;
  nbad = 0;
  StateVector y = ystart;
  StateVector dydx, yscal;
  for (int step = 1; step <= rk::kMaxSteps; ++step) {
    derivs(x, y, dydx);
    for (int i = 1; i <= n; ++i) yscal[i] = ErrorScale(y[i], dydx[i], h, eps);
    if ((x + h - x2) * (x + h - x1) > 0.0) h = x2 - x;
    double hdid = 0.0, hnext = 0.0;
    RKQualityControl(y, dydx, n, x, h, eps, yscal, hdid, hnext, derivs);
    if (hdid == h) {
      ++nok;
    } else {
      ++nbad;
    }
    if ((x - x2) * (x2 - x1) >= 0.0) {
      ystart = y;
      return;
    }
    if (std::fabs(hnext) < hmin) throw EStepTooSmall(kStepTooSmallInIntegrator);
    h = hnext;
  }
  throw ETooManySteps();
}

}  // namespace kvsorv
