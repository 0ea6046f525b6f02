// Soil processes: the water and ammonium block that the plant equations need, and the soil
// organic matter and nitrogen block that follows litterfall.

#include "model/checked_math.h"
#include "model/errors.h"
#include "model/model_equations.h"

namespace kvsorv {

using fp::Div;
using fp::Exp;
using fp::Ln;
using fp::Power;
using fp::Sqrt;

namespace {

// Litter carbon entering the extractive pool from one tissue.
double ExtractiveShare(double Lc, double Ln) {
  return (1.0 - Exp(Div(-120.0 * Ln, Lc))) * Lc;
}

// Litter carbon entering the insoluble pool from one tissue.
double InsolubleShare(double Lc, double Ln) {
  return (0.35 - Exp(Div(-50.0 * Ln, Lc)) * 0.15) * Lc;
}

}  // namespace

void ComputeWaterAndAmmonium(const ModelInputs& in, double G, ProcessValues& v) {
  const auto& k = in.params;
  const double Ppt = in.drivers[drv::Ppt];
  const double Nnh4 = in.states[st::Nnh4];

  v[proc::Ts] = v[proc::Ta] - 3.0;

  const double W = in.terms ? in.terms->W : SoilWater(in, G);
  const double Qw = in.terms ? in.terms->Qw : Discharge(in, G);
  double Et = Ppt - Qw;
  if (Et < 0.0) Et = 0.0;

  // Langmuir partition of ammonium between soil solution (umol N per litre of soil water)
  // and the exchange sites; 1.4e-5 * W converts the concentration to g N m-2.
  const double etanh4 = k[prm::etanh4];
  const double Xa = Div(Nnh4 - k[prm::rho] * k[prm::z] * k[prm::Nnh4mx], 0.000014 * W) - etanh4;
  const double Nnh4aq = (Sqrt(Xa * Xa + Div(4.0 * etanh4 * Nnh4, 0.000014 * W)) + Xa) * 0.5;

  v[proc::W] = W;
  v[proc::Qw] = Qw;
  v[proc::Et] = Et;
  v[proc::Nnh4aq] = Nnh4aq;
  v[proc::Nnh4s] = Nnh4 - 0.000014 * W * Nnh4aq;
  v[proc::Qnh4] = 0.014 * Qw * Nnh4aq;
}

void ComputeSoilProcesses(const ModelInputs& in, bool insolubleCNCheck, ProcessValues& v) {
  const auto& s = in.states;
  const auto& k = in.params;
  const double Cs = s[st::Cs], Ce = s[st::Ce], Ci = s[st::Ci], Ch = s[st::Ch];
  const double Na = s[st::Na], Nh = s[st::Nh];

  // Litter carbon into the soil pools, accumulated foliage, wood, root.
  const double LcF = v[proc::lambdaCFT], LcW = v[proc::lambdaCWT], LcR = v[proc::lambdaCRT];
  const double LnF = v[proc::lambdaNFT], LnW = v[proc::lambdaNWT], LnR = v[proc::lambdaNRT];
  double sumE = ExtractiveShare(LcF, LnF);
  sumE += ExtractiveShare(LcW, LnW);
  sumE += ExtractiveShare(LcR, LnR);
  const double FClambdaE = 0.36 * sumE;
  double FClambdaI = InsolubleShare(LcF, LnF);
  FClambdaI += InsolubleShare(LcW, LnW);
  FClambdaI += InsolubleShare(LcR, LnR);
  v[proc::FClambdaE] = FClambdaE;
  v[proc::FClambdaI] = FClambdaI;
  v[proc::FClambdaS] = LcF + LcW + LcR - FClambdaE - FClambdaI;

  // Decomposition factor from soil temperature, moisture and the plant season length Sp.
  const double Jd = in.terms ? in.terms->Jd : DecompositionMoistureFactor(in, v[proc::W]);
  const double rs = in.terms ? in.terms->rs : SoilRateFactor(in, v[proc::Ts], Jd);
  v[proc::Jd] = Jd;
  v[proc::rs] = rs;

  // Carbon transfers and respiration.
  const double Aie = k[prm::Aie], Aih = k[prm::Aih], Ah = k[prm::Ah], qI = k[prm::qI];
  const double FCse = rs * k[prm::Ase] * Cs;
  const double FCei = rs * k[prm::Aei] * Ce;
  const double FCie = rs * Aie * Ci;
  const double FCih = rs * Aih * Ci;
  v[proc::FCse] = FCse;
  v[proc::FCei] = FCei;
  v[proc::FCie] = FCie;
  v[proc::FCih] = FCih;
  v[proc::Re] = (FCse + FCei + FCie) * k[prm::beta];
  v[proc::Rh] = rs * Ah * Ch;
  v[proc::Cst] = Ch + Ci + Ce + Cs;

  // Nitrogen transfers; active-to-inorganic uses the insoluble-to-extractive constant.
  v[proc::FNai] = rs * Aie * Na;
  double FNia = 0.0;
  if (Na > 0.0) {
    const double insolubleCN = Div(Ci, Na);
    if (insolubleCN > qI) {
      const double Nnh4aq = v[proc::Nnh4aq];
      FNia = Div(rs * k[prm::VImax] * Nnh4aq, k[prm::kIm] + Nnh4aq) * (insolubleCN - qI);
    } else if (insolubleCNCheck) {
      throw ECalculateError();
    }
  }
  v[proc::FNia] = FNia;
  v[proc::FNah] = Div(rs * Aih * Ci, qI);
  v[proc::FNhi] = rs * Ah * Nh;
  v[proc::Nst] = Nh + Na;
}

}  // namespace kvsorv
