#include "steady_state/steady_state_solver.h"

#include <algorithm>
#include <utility>

#include "model/checked_math.h"
#include "model/errors.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"

// One solve, in order:
//   1. first evaluation into StartProcesses;
//   2. litterfall rates scaled by entered NPP over litter C;
//   3. second evaluation; total litterfall, plant respiration, Sc and rm;
//   4. third evaluation; growth maxima and transport constants of the labile pools;
//   5. soil organic matter pools Cs, Ci, Ce, Ch and active N;
//   6. fourth evaluation; Ah, qI, the ammonium partition, Unh4max and VImax;
//   7. final evaluation into NewProcesses and publication.
// Values ending in _ss belong to the solve only and are never stored in a table.

namespace kvsorv {

namespace {

using fp::Div;
using fp::Finite;

// A failed check: a math error whose message is the given text, blanks included.
void Check(double value, const char* message) {
  if (!(value >= 0.0)) throw EMathError(message);
}

constexpr const char* kInsufficientPhotosynthesis =
    " Insufficient photosynthesis, plant respiration is negative. ";
constexpr const char* kHumusCNegative = " Humus C is negative.";
constexpr const char* kActiveNNegative =
    " Active soil N is negative because value entered for humus N is greater than total soil "
    "N.";
constexpr const char* kHumusRespirationNegative = " Humus respiration is negative.";

// Grams of N per micromole-litre conversions of the ammonium partition.
constexpr double kLeachingFactor = 0.014;
constexpr double kSolutionFactor = 1.4e-5;

template <typename Table>
int LastMatch(const Table& table, int first, int last, std::string_view symbol) {
  int found = 0;
  for (int i = std::max(first, 1); i <= std::min(last, Table::kCapacity); ++i)
    if (table[i].symbol == symbol) found = i;
  return found;
}

}  // namespace

// Values carried from one step of the solve to the next: growth respiration and growth of
// each tissue, and the second evaluation's litterfall and translocation.
struct SteadyStateSolver::Intermediates {
  double Rfgr_ss = 0.0, Rwgr_ss = 0.0, Rrgr_ss = 0.0;
  double lambdaCSF = 0.0, lambdaCSW = 0.0, lambdaCSR = 0.0;
  double lambdaNSF = 0.0, lambdaNSW = 0.0, lambdaNSR = 0.0;
  double lambdaCLF = 0.0, lambdaCLW = 0.0, lambdaCLR = 0.0;
  double lambdaNLF = 0.0, lambdaNLW = 0.0, lambdaNLR = 0.0;
  double tauNS = 0.0;
  double rs = 0.0;
};

int SteadyStateSolver::GetArrayIndex(QuantityKind kind, std::string_view symbol) {
  switch (kind) {
    case QuantityKind::kDriver:
      return LastMatch(Drivers, 1, ModelDef.numdrivers, symbol);
    case QuantityKind::kState:
      return LastMatch(States, 1, ModelDef.numstate, symbol);
    case QuantityKind::kParameter:
      return LastMatch(Params, 1, ModelDef.numparam, symbol);
    case QuantityKind::kProcess:
      return LastMatch(Processes, ModelDef.numstate, ModelDef.numprocess, symbol);
  }
  return 0;
}

void SteadyStateSolver::Evaluate(processarray& into) {
  ComputeProcesses(workDrivers_, workParams_, workStates_, into, steadyStateTime_,
                   InsolubleCNCheck());
}

void SteadyStateSolver::CalculateSteadyState() {
  try {
    Evaluate(startProcesses_);
  } catch (const EMathError& e) {
    throw ECalcInitialProc(e.Message());
  }

  try {
    Intermediates m;
    DeriveLitterfallRates();
    DerivePhotosynthesisAndRespiration(m);
    DerivePlantGrowthAndTransport(m);
    DeriveSoilOrganicMatter(m);
    DeriveHumusAndAmmonium(m);
  } catch (const EMathError& e) {
    PublishWorkingValues();
    throw ECalcNewValue(e.Message());
  }

  EvaluateFinal();
}

void SteadyStateSolver::DeriveLitterfallRates() {
  auto& k = workParams_;
  const auto& w = workProcesses_;
  const auto& start = startProcesses_;
  k[prm::AlambdaF].value =
      Div(w[proc::NPPf].value * newParams_[prm::AlambdaF].value, start[proc::lambdaCFT].value);
  k[prm::AlambdaW].value =
      Div(w[proc::NPPw].value * newParams_[prm::AlambdaW].value, start[proc::lambdaCWT].value);
  k[prm::AlambdaR].value =
      Div(w[proc::NPPr].value * newParams_[prm::AlambdaR].value, start[proc::lambdaCRT].value);
}

void SteadyStateSolver::DerivePhotosynthesisAndRespiration(Intermediates& m) {
  Evaluate(stepProcesses_);
  const auto& e2 = stepProcesses_;
  auto& w = workProcesses_;
  auto& k = workParams_;
  const auto& s = workStates_;

  w[proc::NPPt].value =
      Finite(e2[proc::lambdaCFT].value + e2[proc::lambdaCWT].value + e2[proc::lambdaCRT].value);
  w[proc::lambdaCFT].value = e2[proc::lambdaCFT].value;
  w[proc::lambdaCWT].value = e2[proc::lambdaCWT].value;
  w[proc::lambdaCRT].value = e2[proc::lambdaCRT].value;
  w[proc::Rpt].value = Finite(w[proc::Ps].value - w[proc::NPPt].value);
  k[prm::Sc].value =
      Div(w[proc::Ps].value * newParams_[prm::Sc].value, startProcesses_[proc::Ps].value);

  Check(w[proc::Rpt].value, kInsufficientPhotosynthesis);
  Check(s[st::Ch].value, kHumusCNegative);

  w[proc::Hr].value = e2[proc::Hr].value;
  w[proc::tauN].value = e2[proc::tauN].value;
  w[proc::lambdaNFT].value = e2[proc::lambdaNFT].value;
  w[proc::lambdaNWT].value = e2[proc::lambdaNWT].value;
  w[proc::lambdaNRT].value = e2[proc::lambdaNRT].value;
  w[proc::FClambdaS].value = e2[proc::FClambdaS].value;
  w[proc::FClambdaE].value = e2[proc::FClambdaE].value;
  w[proc::FClambdaI].value = e2[proc::FClambdaI].value;
  w[proc::FCse].value = w[proc::FClambdaS].value;

  // The litterfall and translocation the plant steps use, as the second evaluation gave them.
  m.lambdaCSF = e2[proc::lambdaCSF].value;
  m.lambdaCSW = e2[proc::lambdaCSW].value;
  m.lambdaCSR = e2[proc::lambdaCSR].value;
  m.lambdaNSF = e2[proc::lambdaNSF].value;
  m.lambdaNSW = e2[proc::lambdaNSW].value;
  m.lambdaNSR = e2[proc::lambdaNSR].value;
  m.lambdaCLF = e2[proc::lambdaCLF].value;
  m.lambdaCLW = e2[proc::lambdaCLW].value;
  m.lambdaCLR = e2[proc::lambdaCLR].value;
  m.lambdaNLF = e2[proc::lambdaNLF].value;
  m.lambdaNLW = e2[proc::lambdaNLW].value;
  m.lambdaNLR = e2[proc::lambdaNLR].value;
  m.tauNS = e2[proc::tauNS].value;

  const double rg = k[prm::rg].value;
  m.Rfgr_ss = Finite(rg * m.lambdaCSF);
  m.Rwgr_ss = Finite(rg * m.lambdaCSW);
  m.Rrgr_ss = Finite(rg * m.lambdaCSR);

  const double nitrogen =
      Finite((k[prm::aWR].value * s[st::Nw].value + s[st::Nf].value + s[st::Nr].value) *
             w[proc::Hr].value);
  k[prm::rm].value =
      Div(Finite(w[proc::Rpt].value - (m.Rfgr_ss + m.Rwgr_ss + m.Rrgr_ss)), nitrogen);
}

namespace {

// Maximum growth rate of a structural pool X that makes its growth equal `growth`, from its
// labile carbon L and nitrogen M and the half-saturation terms a, k, b.
double GrowthMaximum(double a, double k, double b, double L, double M, double X, double growth) {
  return Div(Finite((a * L + k + b * M + L * M) * growth), Finite(L * M * X));
}

}  // namespace

void SteadyStateSolver::DerivePlantGrowthAndTransport(Intermediates& m) {
  Evaluate(stepProcesses_);
  const auto& e3 = stepProcesses_;
  auto& w = workProcesses_;
  auto& k = workParams_;
  const auto& s = workStates_;
  const auto K = [&k](int i) { return k[i].value; };
  const auto S = [&s](int i) { return s[i].value; };

  w[proc::Unh4].value =
      Finite(w[proc::lambdaNWT].value + w[proc::lambdaNFT].value + w[proc::lambdaNRT].value);
  const double Unh4 = w[proc::Unh4].value;

  const double Gcf_ss = Finite(m.lambdaCSF + m.Rfgr_ss);
  const double Gcw_ss = Finite(m.lambdaCSW + m.Rwgr_ss);
  const double Gcr_ss = Finite(m.lambdaCSR + m.Rrgr_ss);
  const double Gnf_ss = Finite(m.lambdaNSF + m.tauNS);
  const double Gnw_ss = m.lambdaNSW;
  const double Gnr_ss = m.lambdaNSR;

  const double Clf = S(st::Clf), Clw = S(st::Clw), Clr = S(st::Clr);
  const double Nlf = S(st::Nlf), Nlw = S(st::Nlw), Nlr = S(st::Nlr);

  k[prm::gCFm].value =
      GrowthMaximum(K(prm::aGCF), K(prm::kGCF), K(prm::bGCF), Clf, Nlf, S(st::Cf), Gcf_ss);
  k[prm::gCWm].value =
      GrowthMaximum(K(prm::aGCW), K(prm::kGCW), K(prm::bGCW), Clw, Nlw, S(st::Cw), Gcw_ss);
  k[prm::gCRm].value =
      GrowthMaximum(K(prm::aGCR), K(prm::kGCR), K(prm::bGCR), Clr, Nlr, S(st::Cr), Gcr_ss);

  // Carbon transport: the circuit's node balances solved for the foliage and root outflows.
  const double Kcf = K(prm::Kcf), Kcw = K(prm::Kcw), Kcr = K(prm::Kcr);
  const double KCa = K(prm::KCa), KCb = K(prm::KCb);
  const double Tcw_ss = Finite(K(prm::aTCW) * Clw);
  const double woodCFlow = Div(Finite(Gcw_ss + m.lambdaCLW), Kcw);
  const double foliageCIn =
      Div(Finite(w[proc::Ps].value - e3[proc::Rfmet].value - Gcf_ss - m.lambdaCLF), KCa);
  const double Tcf_ss = Finite(
      Finite(foliageCIn + woodCFlow + Tcw_ss - Div(Finite(Gcf_ss + m.lambdaCLF), Kcf)) * Kcf);
  const double rootCIn = Div(Finite(-e3[proc::Rrmet].value - Gcr_ss - m.lambdaCLR), KCb);
  const double Tcr_ss =
      Finite(Finite(rootCIn + woodCFlow + Tcw_ss - Div(Finite(Gcr_ss + m.lambdaCLR), Kcr)) * Kcr);
  k[prm::aTCF].value = Div(Tcf_ss, Finite(Kcf * Clf));
  k[prm::aTCR].value = Div(Tcr_ss, Finite(Kcr * Clr));

  k[prm::gNFm].value =
      GrowthMaximum(K(prm::aGNF), K(prm::kGNF), K(prm::bGNF), Clf, Nlf, S(st::Cf), Gnf_ss);
  k[prm::gNWm].value =
      GrowthMaximum(K(prm::aGNW), K(prm::kGNW), K(prm::bGNW), Clw, Nlw, S(st::Cw), Gnw_ss);
  k[prm::gNRm].value =
      GrowthMaximum(K(prm::aGNR), K(prm::kGNR), K(prm::bGNR), Clr, Nlr, S(st::Cr), Gnr_ss);

  // Nitrogen transport: translocation enters at the wood node, uptake at the root node.
  const double Knf = K(prm::Knf), Knw = K(prm::Knw), Knr = K(prm::Knr);
  const double KNa = K(prm::KNa), KNb = K(prm::KNb);
  const double Tnw_ss = Finite(K(prm::aTNW) * Nlw);
  const double tauNL_ss = Finite(K(prm::AlambdaF) * Nlf * K(prm::aTau));
  const double woodNFlow = Div(Finite(Gnw_ss + m.lambdaNLW), Knw);
  const double foliageNIn = Div(Finite(-Gnf_ss - m.lambdaNLF - tauNL_ss), KNa);
  const double Tnf_ss = Finite(
      Finite(foliageNIn + woodNFlow + Tnw_ss - Div(Finite(Gnf_ss + tauNL_ss + m.lambdaNLF), Knf)) *
      Knf);
  const double rootNIn = Div(Finite(Unh4 - Gnr_ss - m.lambdaNLR), KNb);
  const double Tnr_ss =
      Finite(Finite(rootNIn + woodNFlow + Tnw_ss - Div(Finite(Gnr_ss + m.lambdaNLR), Knr)) * Knr);
  k[prm::aTNF].value = Div(Tnf_ss, Finite(Knf * Nlf));
  k[prm::aTNR].value = Div(Tnr_ss, Finite(Knr * Nlr));
}

void SteadyStateSolver::DeriveSoilOrganicMatter(Intermediates& m) {
  auto& s = workStates_;
  auto& w = workProcesses_;
  const auto& k = workParams_;
  const auto K = [&k](int i) { return k[i].value; };

  s[st::Cs].value = Div(Finite(w[proc::FCse].value * newStates_[st::Cs].value),
                        startProcesses_[proc::FCse].value);
  w[proc::rs].value = startProcesses_[proc::rs].value;
  m.rs = w[proc::rs].value;

  // Extractive and insoluble pools at which both stand still under the litter inputs.
  const double rs = m.rs, beta = K(prm::beta), Aie = K(prm::Aie), Aih = K(prm::Aih);
  const double Cs = s[st::Cs].value;
  const double FClambdaE = w[proc::FClambdaE].value, FClambdaI = w[proc::FClambdaI].value;
  s[st::Ci].value =
      Div(Finite(rs * K(prm::Ase) * Cs * (1.0 - beta) + FClambdaE + (1.0 + beta) * FClambdaI),
          Finite((Aie + Aih) * rs * (1.0 + beta) - rs * Aie * (1.0 - beta)));
  const double Ci = s[st::Ci].value;
  s[st::Ce].value = Div(Finite(rs * Ci * (Aie + Aih) - FClambdaI), Finite(rs * K(prm::Aei)));
  s[st::Ch].value = Finite(w[proc::Cst].value - Cs - s[st::Ce].value - Ci);
  Check(s[st::Ch].value, kHumusCNegative);

  s[st::Na].value = Finite(w[proc::Nst].value - s[st::Nh].value);
  Check(s[st::Na].value, kActiveNNegative);
}

void SteadyStateSolver::DeriveHumusAndAmmonium(Intermediates& m) {
  Evaluate(stepProcesses_);
  const auto& e4 = stepProcesses_;
  auto& w = workProcesses_;
  auto& k = workParams_;
  const auto& s = workStates_;
  const auto K = [&k](int i) { return k[i].value; };

  const double Rh_ss = Finite(w[proc::FClambdaI].value + w[proc::FClambdaE].value +
                              w[proc::FClambdaS].value - e4[proc::Re].value);
  Check(Rh_ss, kHumusRespirationNegative);

  const double rs = m.rs;
  k[prm::Ah].value = Div(Finite(Rh_ss * newParams_[prm::Ah].value), e4[proc::Rh].value);
  const double FNhi_ss = Finite(rs * K(prm::Ah) * s[st::Nh].value);
  k[prm::qI].value = Div(Finite(rs * K(prm::Aih) * s[st::Ci].value), FNhi_ss);

  // Ammonium at which leaching carries off the deposition; the soil water W is the one held
  // in the working processes before this solve.
  w[proc::Qnh4].value = workDrivers_[drv::Dnh4].value;
  w[proc::Nnh4aq].value =
      Div(w[proc::Qnh4].value, Finite(kLeachingFactor * startProcesses_[proc::Qw].value));
  const double Nnh4aq = w[proc::Nnh4aq].value;
  w[proc::Nnh4s].value = Finite(s[st::Nnh4].value - kSolutionFactor * w[proc::W].value * Nnh4aq);
  k[prm::Nnh4mx].value = Div(Finite((K(prm::etanh4) + Nnh4aq) * w[proc::Nnh4s].value),
                             Finite(Nnh4aq * K(prm::rho) * K(prm::z)));

  const double Unh4 = w[proc::Unh4].value;
  k[prm::Unh4max].value =
      Div(Finite(Unh4 * startProcesses_[proc::qU].value * (K(prm::knh4) + Nnh4aq)),
          Finite(workDrivers_[drv::Sp].value * s[st::Cr].value * Nnh4aq));

  w[proc::FNia].value = Finite(FNhi_ss + e4[proc::FNai].value - Unh4);
  const double insolubleExcess = Finite(Div(s[st::Ci].value, s[st::Na].value) - K(prm::qI));
  k[prm::VImax].value =
      Div(Finite(Div(w[proc::FNia].value, insolubleExcess) * (K(prm::kIm) + Nnh4aq)),
          Finite(rs * Nnh4aq));
}

void SteadyStateSolver::EvaluateFinal() {
  finalEvaluation_ = true;
  try {
    Evaluate(newProcesses_);
  } catch (const ECalculateError& e) {
    newProcesses_ = workProcesses_;
    PublishWorkingValues();
    throw ECalcNewProcess(e.Message());
  } catch (const EMathError& e) {
    PublishWorkingValues();
    throw ECalcNewValue(e.Message());
  }
  PublishWorkingValues();
  workProcesses_ = newProcesses_;

  // The NPP fields show the model's own total litterfall of each tissue.
  for (const auto& [npp, litter] :
       {std::pair{proc::NPPf, proc::lambdaCFT}, std::pair{proc::NPPw, proc::lambdaCWT},
        std::pair{proc::NPPr, proc::lambdaCRT}}) {
    workProcesses_[npp].value = workProcesses_[litter].value;
    newProcesses_[npp].value = workProcesses_[litter].value;
  }
}

void SteadyStateSolver::PublishWorkingValues() {
  newParams_ = workParams_;
  newStates_ = workStates_;
  newDrivers_ = workDrivers_;
}

}  // namespace kvsorv
