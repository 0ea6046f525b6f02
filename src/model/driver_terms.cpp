#include "model/driver_terms.h"

#include "model/checked_math.h"
#include "model/errors.h"
#include "model/model_equations.h"

namespace kvsorv {

using fp::Div;
using fp::Exp;
using fp::Ln;
using fp::Power;

namespace {

constexpr double kPi = 3.14159265358979324;
constexpr double kDegree = 0.0174532925199432958;  // pi / 180

}  // namespace

double SoilWater(const ModelInputs& in, double G) {
  return Power(in.drivers[drv::Ppt] * 1000.0, -0.012 * G + 0.61) *
             (0.0032 * G * G - 0.036 * G + 0.51) +
         (0.4 * G + 114.0);
}

double Discharge(const ModelInputs& in, double G) {
  return ((0.0003 * G + 0.9945) * in.drivers[drv::Ppt] * 1000.0 - (-0.8 * G + 103.0)) / 1000.0;
}

double RelativeSoilWater(const ModelInputs& in, double W) {
  const auto& k = in.params;
  double theta =
      Div(Div(1000.0 * W, k[prm::rho] * k[prm::z]) - k[prm::Ww], k[prm::Wf] - k[prm::Ww]);
  if (theta < 0.0) theta = 0.0;
  if (theta > 1.0) theta = 1.0;
  return theta;
}

double WaterPotentialDrop(const ModelInputs& in, double theta) {
  const double Psiw = in.params[prm::Psiw];
  return (1.0 - Exp(-Ln(Div(Psiw, in.params[prm::Psif])) * theta)) * Psiw;
}

double CanopyConductance(const ModelInputs& in, double dPsi) {
  return Div(dPsi, Div(50.41, in.params[prm::kappaL]) +
                       (in.drivers[drv::Tamax] - in.drivers[drv::Tamin]) * 0.5);
}

double CarboxylationTemperatureFactor(const ModelInputs& in) {
  const double Tamax = in.drivers[drv::Tamax];
  return Div(14.78 * Tamax, 14.78 + Tamax);
}

double DayLength(const ModelInputs& in) {
  const double phi = kPi * in.params[prm::Deltad] / 180.0;
  const double decl =
      std::cos((in.params[prm::daymid] + 10.0) * 360.0 / 365.0 * kDegree) * (-23.4) * kDegree;
  const double xd = std::tan(decl) * std::tan(phi);
  if (xd >= 1.0) return 24.0;
  if (xd <= -1.0) return 0.0;
  // The arcsine, not the arccosine: the term runs from -12 to 12 and is 0 where xd is 0.
  return Div(fp::ArcSin(-xd) * 24.0, kPi);
}

double SapwoodExponent(const ModelInputs& in) {
  return Div(1.0, 1.0 - in.params[prm::h2]);
}

double UptakeAvailableFraction(double Qw) {
  return 1.0 - Exp(-0.02 * Qw) * 0.5;
}

double RespirationTemperatureFunction(const ModelInputs& in, double Ta) {
  const auto& k = in.params;
  const double Trmax = k[prm::Trmax], Tropt = k[prm::Tropt], gammar = k[prm::gammar];
  if (Ta > Trmax) return 0.0;
  return Exp((Ta - Tropt) * gammar) *
         Exp(Ln(Div(Trmax - Ta, Trmax - Tropt)) * ((Trmax - Tropt) * gammar));
}

double TargetCN(const ModelInputs& in, int gC, int bN, int gN, int bC) {
  const auto& k = in.params;
  return Div(k[gC] * k[bN], k[gN] * k[bC]);
}

double DecompositionMoistureFactor(const ModelInputs& in, double W) {
  // 1 at the optimum water content, JdWmax at the minimum and wherever R is +-1.
  const auto& k = in.params;
  const double s = k[prm::phiD];
  const double atW = Power(W, s);
  const double atOptimum = Power(k[prm::Wdopt], s);  // the same power twice: computed once
  const double R = Div(atW - atOptimum, atOptimum - Power(k[prm::Wdmin], s));
  return Power(k[prm::JdWmax], Power(R, 2.0));
}

double SoilRateFactor(const ModelInputs& in, double Ts, double Jd) {
  // The plant season length (7th driver) scales decomposition.
  return Exp(Ln(in.params[prm::Q10d]) * (Ts / 10.0)) * (in.drivers[drv::Sp] * Jd);
}

std::optional<DriverTerms> ComputeDriverTerms(const ModelInputs& in, double G) {
  try {
    DriverTerms t;
    const double Ta = (in.drivers[drv::Tamin] + in.drivers[drv::Tamax]) / 2.0;
    t.W = SoilWater(in, G);
    t.Qw = Discharge(in, G);
    t.theta = RelativeSoilWater(in, t.W);
    t.dPsi = WaterPotentialDrop(in, t.theta);
    t.gc = CanopyConductance(in, t.dPsi);
    t.vgTemperature = CarboxylationTemperatureFactor(in);
    t.DL = DayLength(in);
    t.sapwoodExponent = SapwoodExponent(in);
    t.navFraction = UptakeAvailableFraction(t.Qw);
    t.Hr = RespirationTemperatureFunction(in, Ta);
    t.qtF = TargetCN(in, prm::gCFm, prm::bGNF, prm::gNFm, prm::bGCF);
    t.qtW = TargetCN(in, prm::gCWm, prm::bGNW, prm::gNWm, prm::bGCW);
    t.qtR = TargetCN(in, prm::gCRm, prm::bGNR, prm::gNRm, prm::bGCR);
    t.Jd = DecompositionMoistureFactor(in, t.W);
    t.rs = SoilRateFactor(in, Ta - 3.0, t.Jd);
    return t;
  } catch (const EMathError&) {
    return std::nullopt;
  }
}

}  // namespace kvsorv
