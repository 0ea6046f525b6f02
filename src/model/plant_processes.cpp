// Plant processes: canopy photosynthesis, translocation, sapwood, ammonium uptake,
// respiration, the labile transport circuit, structural growth and litterfall.

#include "model/checked_math.h"
#include "model/model_equations.h"

namespace kvsorv {

using fp::Div;
using fp::Exp;
using fp::Ln;
using fp::Power;
using fp::Sqrt;

namespace {

// Potential of the stem node of the three-node transport circuit: a and b are the
// foliage-stem and stem-root conductances, kf/kw/kr each node's own conductance and
// sf/sw/sr the sources at each node.
double StemPotential(double a, double b, double kf, double kw, double kr, double sf, double sw,
                     double sr) {
  const double u = Div(a, a + kf);
  const double v = Div(b, b + kr);
  return Div(u * sf + sw + v * sr, kw + a + b - a * u - b * v);
}

// Structural growth of a tissue pool X from its labile carbon L and nitrogen M.
double Growth(double X, double gmax, double a, double k, double b, double L, double M) {
  return Div(X * gmax * L * M, a * L + k + b * M + L * M);
}

}  // namespace

void ComputePlantRatios(const ModelInputs& in, ProcessValues& v) {
  const auto& s = in.states;
  v[proc::CNf] = s[st::Nf] > 0.0 ? Div(s[st::Cf], s[st::Nf]) : 0.0;
  v[proc::CNw] = s[st::Nw] > 0.0 ? Div(s[st::Cw], s[st::Nw]) : 0.0;
  v[proc::CNr] = s[st::Nr] > 0.0 ? Div(s[st::Cr], s[st::Nr]) : 0.0;
  v[proc::Ta] = (in.drivers[drv::Tamin] + in.drivers[drv::Tamax]) / 2.0;
}

void ComputePlantProcesses(const ModelInputs& in, ProcessValues& v) {
  const auto& s = in.states;
  const auto& d = in.drivers;
  const auto& k = in.params;

  const double Cf = s[st::Cf], Cw = s[st::Cw], Cr = s[st::Cr];
  const double Nf = s[st::Nf], Nw = s[st::Nw], Nr = s[st::Nr];
  const double Clf = s[st::Clf], Clw = s[st::Clw], Clr = s[st::Clr];
  const double Nlf = s[st::Nlf], Nlw = s[st::Nlw], Nlr = s[st::Nlr];

  const double Ca = d[drv::Ca], I = d[drv::I];
  // The season length that scales photosynthesis and uptake is the soil season Ss.
  const double Ss = d[drv::Ss];

  const double W = v[proc::W], Qw = v[proc::Qw], Nnh4aq = v[proc::Nnh4aq], Ta = v[proc::Ta];

  // Canopy photosynthesis. Driver-only terms come precomputed when the caller has them.
  const DriverTerms* t = in.terms ? &*in.terms : nullptr;
  const double LAI = Div(Cf, k[prm::mf]);
  const double theta = t ? t->theta : RelativeSoilWater(in, W);
  const double dPsi = t ? t->dPsi : WaterPotentialDrop(in, theta);
  const double gc = t ? t->gc : CanopyConductance(in, dPsi);
  const double vgNitrogen = Div(0.192 * k[prm::aNf] * Nf, gc);
  const double Vg = vgNitrogen * (t ? t->vgTemperature : CarboxylationTemperatureFactor(in));
  const double kI = Div(LAI * LAI * 0.161, Power(LAI, 1.146));
  const double Bq = (0.468 + Ca) - 500.3 - Vg;
  const double Cint = (Sqrt(Bq * Bq - (-499.832 * Ca - 0.468 * Vg) * 4.0) + Bq) * 0.5;
  const double Fc = (Ca - Cint) * gc;
  const double Pc = Div(Fc * kI * I, kI * I + Fc);
  const double DL = t ? t->DL : DayLength(in);
  const double Ps = k[prm::Sc] * Ss * (0.125 * DL + 2.196) * Pc;
  v[proc::Ps] = Ps;

  // Nitrogen translocation from foliage.
  const double aTau = k[prm::aTau];
  const double AlambdaF = k[prm::AlambdaF];
  const double tauNS = Nf > 0.0 ? aTau * AlambdaF * Nf : 0.0;
  const double tauNL = Nlf > 0.0 ? aTau * AlambdaF * Nlf : 0.0;
  v[proc::tauNS] = tauNS;
  v[proc::tauNL] = tauNL;
  v[proc::tauN] = tauNS + tauNL;

  // Sapwood.
  const double h1 = k[prm::h1], h2 = k[prm::h2];
  double Csw;
  const double lnLeaf = Ln(h1 * LAI);
  if (Exp(lnLeaf * (t ? t->sapwoodExponent : SapwoodExponent(in))) >= Cw) {
    Csw = Cw;
  } else {
    Csw = Exp(Ln(Cw) * h2) * (h1 * LAI);
  }
  const double Nsw = Div(Csw * Nw, Cw);
  v[proc::Csw] = Csw;
  v[proc::Nsw] = Nsw;

  // Root ammonium uptake.
  const double qu0 = k[prm::qu0];
  double qU = qu0;
  if (Nr > 0.0 && Div(Cr, Nr) > qu0) qU = Div(Cr, Nr);
  const double Nav = (t ? t->navFraction : UptakeAvailableFraction(Qw)) * Nnh4aq;
  const double Unh4 = Div(1.384 * Ss * k[prm::Unh4max] * Cr * Nav, (k[prm::knh4] + Nav) * qU);
  v[proc::qU] = qU;
  v[proc::Unh4] = Unh4;

  // Respiration temperature function and the target C:N ratios implied by the growth
  // parameters.
  const double Hr = t ? t->Hr : RespirationTemperatureFunction(in, Ta);
  v[proc::Hr] = Hr;
  const double qtF = t ? t->qtF : TargetCN(in, prm::gCFm, prm::bGNF, prm::gNFm, prm::bGCF);
  const double qtW = t ? t->qtW : TargetCN(in, prm::gCWm, prm::bGNW, prm::gNWm, prm::bGCW);
  const double qtR = t ? t->qtR : TargetCN(in, prm::gCRm, prm::bGNR, prm::gNRm, prm::bGCR);

  // Maintenance respiration: on nitrogen when the tissue is N-poor against its target,
  // on carbon otherwise. The comparisons are unguarded on purpose.
  const double rm = k[prm::rm], aWR = k[prm::aWR];
  const double Rfmet = Div(Cf, Nf) > qtF ? rm * Hr * Nf : Div(rm * Hr * Cf, qtF);
  const double Rwmet = Div(Csw, Nsw) > qtW ? aWR * rm * Hr * Nsw : Div(aWR * rm * Hr * Csw, qtW);
  const double Rrmet = Div(Cr, Nr) > qtR ? rm * Hr * Nr : Div(rm * Hr * Cr, qtR);
  v[proc::Rfmet] = Rfmet;
  v[proc::Rwmet] = Rwmet;
  v[proc::Rrmet] = Rrmet;

  // Transport out of the labile pools.
  const double Kcf = k[prm::Kcf], Kcw = k[prm::Kcw], Kcr = k[prm::Kcr];
  const double Knf = k[prm::Knf], Knw = k[prm::Knw], Knr = k[prm::Knr];
  const double KCa = k[prm::KCa], KCb = k[prm::KCb], KNa = k[prm::KNa], KNb = k[prm::KNb];
  const double Tcf = k[prm::aTCF] * Kcf * Clf;
  const double Tcw = k[prm::aTCW] * Kcw * Clw;
  const double Tcr = k[prm::aTCR] * Kcr * Clr;
  const double Tnf = k[prm::aTNF] * Knf * Nlf;
  const double Tnw = k[prm::aTNW] * Knw * Nlw;
  const double Tnr = k[prm::aTNR] * Knr * Nlr;
  v[proc::Tcf] = Tcf;
  v[proc::Tcw] = Tcw;
  v[proc::Tcr] = Tcr;
  v[proc::Tnf] = Tnf;
  v[proc::Tnw] = Tnw;
  v[proc::Tnr] = Tnr;

  // Labile transport circuit: carbon enters at the foliage node, nitrogen at the wood node
  // (translocation) and the root node (uptake).
  const double VC =
      StemPotential(KCa, KCb, Kcf, Kcw, Kcr, Ps - Rfmet + Tcf, Tcw - Rwmet, Tcr - Rrmet);
  const double Scr = Div((Tcr - Rrmet + KCb * VC) * Kcr, Kcr + KCb);
  const double Scf = Div((Ps - Rfmet + Tcf + KCa * VC) * Kcf, Kcf + KCa);
  const double Scw = Kcw * VC;
  const double VN = StemPotential(KNa, KNb, Knf, Knw, Knr, Tnf, v[proc::tauN] + Tnw, Unh4 + Tnr);
  const double Snr = Div((Unh4 + Tnr + KNb * VN) * Knr, Knr + KNb);
  const double Snf = Div((KNa * VN + Tnf) * Knf, Knf + KNa);
  const double Snw = Knw * VN;
  v[proc::Scf] = Scf;
  v[proc::Scw] = Scw;
  v[proc::Scr] = Scr;
  v[proc::Snf] = Snf;
  v[proc::Snw] = Snw;
  v[proc::Snr] = Snr;

  // Net allocation to the labile pools.
  v[proc::Gclf] = Scf - Tcf;
  v[proc::Gclw] = Scw - Tcw;
  v[proc::Gclr] = Scr - Tcr;
  v[proc::Gnlf] = Snf - Tnf;
  v[proc::Gnlw] = Snw - Tnw;
  v[proc::Gnlr] = Snr - Tnr;

  // Structural growth; nitrogen growth is driven by the tissue's carbon pool.
  const double Gcf = Growth(Cf, k[prm::gCFm], k[prm::aGCF], k[prm::kGCF], k[prm::bGCF], Clf, Nlf);
  const double Gcw = Growth(Cw, k[prm::gCWm], k[prm::aGCW], k[prm::kGCW], k[prm::bGCW], Clw, Nlw);
  const double Gcr = Growth(Cr, k[prm::gCRm], k[prm::aGCR], k[prm::kGCR], k[prm::bGCR], Clr, Nlr);
  v[proc::Gcf] = Gcf;
  v[proc::Gcw] = Gcw;
  v[proc::Gcr] = Gcr;
  v[proc::Gnf] = Growth(Cf, k[prm::gNFm], k[prm::aGNF], k[prm::kGNF], k[prm::bGNF], Clf, Nlf);
  v[proc::Gnw] = Growth(Cw, k[prm::gNWm], k[prm::aGNW], k[prm::kGNW], k[prm::bGNW], Clw, Nlw);
  v[proc::Gnr] = Growth(Cr, k[prm::gNRm], k[prm::aGNR], k[prm::kGNR], k[prm::bGNR], Clr, Nlr);

  // Growth respiration and total tissue respiration.
  const double rg = k[prm::rg];
  const double RFgr = Div(rg * Gcf, 1.0 + rg);
  const double RWgr = Div(rg * Gcw, 1.0 + rg);
  const double RRgr = Div(rg * Gcr, 1.0 + rg);
  v[proc::RFgr] = RFgr;
  v[proc::RWgr] = RWgr;
  v[proc::RRgr] = RRgr;
  v[proc::Rf] = Rfmet + RFgr;
  v[proc::Rw] = Rwmet + RWgr;
  v[proc::Rr] = Rrmet + RRgr;

  // Litterfall from the structural and labile pools; only foliage N litter is reduced by
  // the translocated fraction.
  const double sigmaF = k[prm::sigmaF], sigmaW = k[prm::sigmaW], sigmaR = k[prm::sigmaR];
  const double AlambdaW = k[prm::AlambdaW], AlambdaR = k[prm::AlambdaR];
  const double lambdaCSF = Power(Cf, sigmaF) * AlambdaF;
  const double lambdaCSW = Power(Cw, sigmaW) * AlambdaW;
  const double lambdaCSR = Power(Cr, sigmaR) * AlambdaR;
  const double lambdaNSF = Div((1.0 - aTau) * lambdaCSF * Nf, Cf);
  const double lambdaNSW = Div(lambdaCSW * Nw, Cw);
  const double lambdaNSR = Div(lambdaCSR * Nr, Cr);
  const double lambdaCLF = Power(Clf, sigmaF) * AlambdaF;
  const double lambdaCLW = Power(Clw, sigmaW) * AlambdaW;
  const double lambdaCLR = Power(Clr, sigmaR) * AlambdaR;
  const double lambdaNLF = Div((1.0 - aTau) * lambdaCLF * Nlf, Clf);
  const double lambdaNLW = Div(lambdaCLW * Nlw, Clw);
  const double lambdaNLR = Div(lambdaCLR * Nlr, Clr);
  v[proc::lambdaCSF] = lambdaCSF;
  v[proc::lambdaCSW] = lambdaCSW;
  v[proc::lambdaCSR] = lambdaCSR;
  v[proc::lambdaNSF] = lambdaNSF;
  v[proc::lambdaNSW] = lambdaNSW;
  v[proc::lambdaNSR] = lambdaNSR;
  v[proc::lambdaCLF] = lambdaCLF;
  v[proc::lambdaCLW] = lambdaCLW;
  v[proc::lambdaCLR] = lambdaCLR;
  v[proc::lambdaNLF] = lambdaNLF;
  v[proc::lambdaNLW] = lambdaNLW;
  v[proc::lambdaNLR] = lambdaNLR;
  v[proc::lambdaCFT] = lambdaCSF + lambdaCLF;
  v[proc::lambdaCWT] = lambdaCSW + lambdaCLW;
  v[proc::lambdaCRT] = lambdaCSR + lambdaCLR;
  v[proc::lambdaNFT] = lambdaNSF + lambdaNLF;
  v[proc::lambdaNWT] = lambdaNSW + lambdaNLW;
  v[proc::lambdaNRT] = lambdaNSR + lambdaNLR;
}

}  // namespace kvsorv
