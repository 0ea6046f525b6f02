#pragma once
// Compile-time positions of every model quantity, looked up by symbol in the catalogue tables,
// so equations and files name quantities by symbol and cannot drift from the catalogue order.

#include <string_view>

#include "model/catalogue_tables.h"

namespace kvsorv {

inline constexpr int kNumStates = static_cast<int>(catalogue::kStates.size());
inline constexpr int kNumDrivers = static_cast<int>(catalogue::kDrivers.size());
inline constexpr int kNumParams = static_cast<int>(catalogue::kParams.size());
inline constexpr int kNumProcesses =
    kNumStates + static_cast<int>(catalogue::kFurtherProcesses.size());

namespace catalogue {

// These throw only when evaluated for an unknown symbol; at compile time that is an error.
constexpr int StateIndex(std::string_view symbol) {
  for (int i = 0; i < kNumStates; ++i)
    if (kStates[i].symbol == symbol) return i + 1;
  throw "unknown state symbol";
}
constexpr int DriverIndex(std::string_view symbol) {
  for (int i = 0; i < kNumDrivers; ++i)
    if (kDrivers[i].symbol == symbol) return i + 1;
  throw "unknown driver symbol";
}
constexpr int ProcessIndex(std::string_view symbol) {
  for (int j = 0; j < static_cast<int>(kFurtherProcesses.size()); ++j)
    if (kFurtherProcesses[j].symbol == symbol) return kNumStates + j + 1;
  throw "unknown process symbol";
}
constexpr int ParamIndex(std::string_view symbol) {
  for (int i = 0; i < kNumParams; ++i)
    if (kParams[i].symbol == symbol) return i + 1;
  throw "unknown parameter symbol";
}

// Number of parameter slots used by the processes before process k (k > kNumStates).
constexpr int ParamOffsetOf(int k) {
  int offset = 0;
  for (int j = kNumStates + 1; j < k; ++j)
    offset += kFurtherProcesses[j - kNumStates - 1].paramcount;
  return offset;
}

// Parameters are grouped by their process, in process order, without gaps.
constexpr bool ParamsGroupedByProcess() {
  int slot = 0;
  for (int j = 0; j < static_cast<int>(kFurtherProcesses.size()); ++j) {
    if (ParamOffsetOf(kNumStates + j + 1) != slot) return false;
    for (int q = 0; q < kFurtherProcesses[j].paramcount; ++q, ++slot)
      if (kParams[slot].process != kFurtherProcesses[j].symbol) return false;
  }
  return slot == kNumParams;
}
static_assert(ParamsGroupedByProcess());

}  // namespace catalogue

// State positions (1-based); the rate of change of state i is process i.
namespace st {
inline constexpr int Cf = catalogue::StateIndex("Cf");
inline constexpr int Cw = catalogue::StateIndex("Cw");
inline constexpr int Cr = catalogue::StateIndex("Cr");
inline constexpr int Nf = catalogue::StateIndex("Nf");
inline constexpr int Nw = catalogue::StateIndex("Nw");
inline constexpr int Nr = catalogue::StateIndex("Nr");
inline constexpr int Clf = catalogue::StateIndex("Clf");
inline constexpr int Clw = catalogue::StateIndex("Clw");
inline constexpr int Clr = catalogue::StateIndex("Clr");
inline constexpr int Nlf = catalogue::StateIndex("Nlf");
inline constexpr int Nlw = catalogue::StateIndex("Nlw");
inline constexpr int Nlr = catalogue::StateIndex("Nlr");
inline constexpr int Cs = catalogue::StateIndex("Cs");
inline constexpr int Ce = catalogue::StateIndex("Ce");
inline constexpr int Ci = catalogue::StateIndex("Ci");
inline constexpr int Ch = catalogue::StateIndex("Ch");
inline constexpr int Na = catalogue::StateIndex("Na");
inline constexpr int Nh = catalogue::StateIndex("Nh");
inline constexpr int Nnh4 = catalogue::StateIndex("Nnh4");
}  // namespace st

// Driver positions (1-based).
namespace drv {
inline constexpr int Ca = catalogue::DriverIndex("Ca");
inline constexpr int Tamax = catalogue::DriverIndex("Tamax");
inline constexpr int Tamin = catalogue::DriverIndex("Tamin");
inline constexpr int I = catalogue::DriverIndex("I");
inline constexpr int Ppt = catalogue::DriverIndex("Ppt");
inline constexpr int Dnh4 = catalogue::DriverIndex("Dnh4");
inline constexpr int Sp = catalogue::DriverIndex("Sp");
inline constexpr int Ss = catalogue::DriverIndex("Ss");
inline constexpr int flaghumus = catalogue::DriverIndex("flaghumus");
}  // namespace drv

// Parameter positions (1-based).
namespace prm {
inline constexpr int Deltad = catalogue::ParamIndex("Deltad");
inline constexpr int daymid = catalogue::ParamIndex("daymid");
inline constexpr int mf = catalogue::ParamIndex("mf");
inline constexpr int aNf = catalogue::ParamIndex("aNf");
inline constexpr int Ww = catalogue::ParamIndex("Ww");
inline constexpr int Wf = catalogue::ParamIndex("Wf");
inline constexpr int Psiw = catalogue::ParamIndex("Psiw");
inline constexpr int Psif = catalogue::ParamIndex("Psif");
inline constexpr int kappaL = catalogue::ParamIndex("kappaL");
inline constexpr int Sc = catalogue::ParamIndex("Sc");
inline constexpr int aTau = catalogue::ParamIndex("aTau");
inline constexpr int qu0 = catalogue::ParamIndex("qu0");
inline constexpr int Unh4max = catalogue::ParamIndex("Unh4max");
inline constexpr int knh4 = catalogue::ParamIndex("knh4");
inline constexpr int Kcf = catalogue::ParamIndex("Kcf");
inline constexpr int KCa = catalogue::ParamIndex("KCa");
inline constexpr int KCb = catalogue::ParamIndex("KCb");
inline constexpr int Kcw = catalogue::ParamIndex("Kcw");
inline constexpr int Kcr = catalogue::ParamIndex("Kcr");
inline constexpr int Knf = catalogue::ParamIndex("Knf");
inline constexpr int KNa = catalogue::ParamIndex("KNa");
inline constexpr int KNb = catalogue::ParamIndex("KNb");
inline constexpr int Knw = catalogue::ParamIndex("Knw");
inline constexpr int Knr = catalogue::ParamIndex("Knr");
inline constexpr int aTCF = catalogue::ParamIndex("aTCF");
inline constexpr int aTCW = catalogue::ParamIndex("aTCW");
inline constexpr int aTCR = catalogue::ParamIndex("aTCR");
inline constexpr int aTNF = catalogue::ParamIndex("aTNF");
inline constexpr int aTNW = catalogue::ParamIndex("aTNW");
inline constexpr int aTNR = catalogue::ParamIndex("aTNR");
inline constexpr int gCFm = catalogue::ParamIndex("gCFm");
inline constexpr int kGCF = catalogue::ParamIndex("kGCF");
inline constexpr int aGCF = catalogue::ParamIndex("aGCF");
inline constexpr int bGCF = catalogue::ParamIndex("bGCF");
inline constexpr int gCWm = catalogue::ParamIndex("gCWm");
inline constexpr int kGCW = catalogue::ParamIndex("kGCW");
inline constexpr int aGCW = catalogue::ParamIndex("aGCW");
inline constexpr int bGCW = catalogue::ParamIndex("bGCW");
inline constexpr int gCRm = catalogue::ParamIndex("gCRm");
inline constexpr int kGCR = catalogue::ParamIndex("kGCR");
inline constexpr int aGCR = catalogue::ParamIndex("aGCR");
inline constexpr int bGCR = catalogue::ParamIndex("bGCR");
inline constexpr int gNFm = catalogue::ParamIndex("gNFm");
inline constexpr int kGNF = catalogue::ParamIndex("kGNF");
inline constexpr int aGNF = catalogue::ParamIndex("aGNF");
inline constexpr int bGNF = catalogue::ParamIndex("bGNF");
inline constexpr int gNWm = catalogue::ParamIndex("gNWm");
inline constexpr int kGNW = catalogue::ParamIndex("kGNW");
inline constexpr int aGNW = catalogue::ParamIndex("aGNW");
inline constexpr int bGNW = catalogue::ParamIndex("bGNW");
inline constexpr int gNRm = catalogue::ParamIndex("gNRm");
inline constexpr int kGNR = catalogue::ParamIndex("kGNR");
inline constexpr int aGNR = catalogue::ParamIndex("aGNR");
inline constexpr int bGNR = catalogue::ParamIndex("bGNR");
inline constexpr int h1 = catalogue::ParamIndex("h1");
inline constexpr int h2 = catalogue::ParamIndex("h2");
inline constexpr int AlambdaF = catalogue::ParamIndex("AlambdaF");
inline constexpr int sigmaF = catalogue::ParamIndex("sigmaF");
inline constexpr int AlambdaW = catalogue::ParamIndex("AlambdaW");
inline constexpr int sigmaW = catalogue::ParamIndex("sigmaW");
inline constexpr int AlambdaR = catalogue::ParamIndex("AlambdaR");
inline constexpr int sigmaR = catalogue::ParamIndex("sigmaR");
inline constexpr int rm = catalogue::ParamIndex("rm");
inline constexpr int aWR = catalogue::ParamIndex("aWR");
inline constexpr int rg = catalogue::ParamIndex("rg");
inline constexpr int gammar = catalogue::ParamIndex("gammar");
inline constexpr int Trmax = catalogue::ParamIndex("Trmax");
inline constexpr int Tropt = catalogue::ParamIndex("Tropt");
inline constexpr int Q10d = catalogue::ParamIndex("Q10d");
inline constexpr int Ase = catalogue::ParamIndex("Ase");
inline constexpr int Aei = catalogue::ParamIndex("Aei");
inline constexpr int Aie = catalogue::ParamIndex("Aie");
inline constexpr int Aih = catalogue::ParamIndex("Aih");
inline constexpr int beta = catalogue::ParamIndex("beta");
inline constexpr int Ah = catalogue::ParamIndex("Ah");
inline constexpr int qI = catalogue::ParamIndex("qI");
inline constexpr int VImax = catalogue::ParamIndex("VImax");
inline constexpr int kIm = catalogue::ParamIndex("kIm");
inline constexpr int Wdmin = catalogue::ParamIndex("Wdmin");
inline constexpr int Wdopt = catalogue::ParamIndex("Wdopt");
inline constexpr int JdWmax = catalogue::ParamIndex("JdWmax");
inline constexpr int phiD = catalogue::ParamIndex("phiD");
inline constexpr int p = catalogue::ParamIndex("p");
inline constexpr int Ep = catalogue::ParamIndex("Ep");
inline constexpr int etanh4 = catalogue::ParamIndex("etanh4");
inline constexpr int Nnh4mx = catalogue::ParamIndex("Nnh4mx");
inline constexpr int rho = catalogue::ParamIndex("rho");
inline constexpr int z = catalogue::ParamIndex("z");
}  // namespace prm

// Process positions (1-based): the 19 rates, then the further processes.
namespace proc {
inline constexpr int dCfdt = st::Cf;
inline constexpr int dCwdt = st::Cw;
inline constexpr int dCrdt = st::Cr;
inline constexpr int dNfdt = st::Nf;
inline constexpr int dNwdt = st::Nw;
inline constexpr int dNrdt = st::Nr;
inline constexpr int dClfdt = st::Clf;
inline constexpr int dClwdt = st::Clw;
inline constexpr int dClrdt = st::Clr;
inline constexpr int dNlfdt = st::Nlf;
inline constexpr int dNlwdt = st::Nlw;
inline constexpr int dNlrdt = st::Nlr;
inline constexpr int dCsdt = st::Cs;
inline constexpr int dCedt = st::Ce;
inline constexpr int dCidt = st::Ci;
inline constexpr int dChdt = st::Ch;
inline constexpr int dNadt = st::Na;
inline constexpr int dNhdt = st::Nh;
inline constexpr int dNnh4dt = st::Nnh4;
inline constexpr int NPPt = catalogue::ProcessIndex("NPPt");
inline constexpr int Rpt = catalogue::ProcessIndex("Rpt");
inline constexpr int lambdaCt = catalogue::ProcessIndex("lambdaCt");
inline constexpr int lambdaNt = catalogue::ProcessIndex("lambdaNt");
inline constexpr int Ps = catalogue::ProcessIndex("Ps");
inline constexpr int tauN = catalogue::ProcessIndex("tauN");
inline constexpr int tauNS = catalogue::ProcessIndex("tauNS");
inline constexpr int tauNL = catalogue::ProcessIndex("tauNL");
inline constexpr int Unh4 = catalogue::ProcessIndex("Unh4");
inline constexpr int qU = catalogue::ProcessIndex("qU");
inline constexpr int Scf = catalogue::ProcessIndex("Scf");
inline constexpr int Scw = catalogue::ProcessIndex("Scw");
inline constexpr int Scr = catalogue::ProcessIndex("Scr");
inline constexpr int Snf = catalogue::ProcessIndex("Snf");
inline constexpr int Snw = catalogue::ProcessIndex("Snw");
inline constexpr int Snr = catalogue::ProcessIndex("Snr");
inline constexpr int Tcf = catalogue::ProcessIndex("Tcf");
inline constexpr int Tcw = catalogue::ProcessIndex("Tcw");
inline constexpr int Tcr = catalogue::ProcessIndex("Tcr");
inline constexpr int Tnf = catalogue::ProcessIndex("Tnf");
inline constexpr int Tnw = catalogue::ProcessIndex("Tnw");
inline constexpr int Tnr = catalogue::ProcessIndex("Tnr");
inline constexpr int Gclf = catalogue::ProcessIndex("Gclf");
inline constexpr int Gclw = catalogue::ProcessIndex("Gclw");
inline constexpr int Gclr = catalogue::ProcessIndex("Gclr");
inline constexpr int Gnlf = catalogue::ProcessIndex("Gnlf");
inline constexpr int Gnlw = catalogue::ProcessIndex("Gnlw");
inline constexpr int Gnlr = catalogue::ProcessIndex("Gnlr");
inline constexpr int Gcf = catalogue::ProcessIndex("Gcf");
inline constexpr int Gcw = catalogue::ProcessIndex("Gcw");
inline constexpr int Gcr = catalogue::ProcessIndex("Gcr");
inline constexpr int Gnf = catalogue::ProcessIndex("Gnf");
inline constexpr int Gnw = catalogue::ProcessIndex("Gnw");
inline constexpr int Gnr = catalogue::ProcessIndex("Gnr");
inline constexpr int Csw = catalogue::ProcessIndex("Csw");
inline constexpr int Nsw = catalogue::ProcessIndex("Nsw");
inline constexpr int lambdaCFT = catalogue::ProcessIndex("lambdaCFT");
inline constexpr int lambdaCWT = catalogue::ProcessIndex("lambdaCWT");
inline constexpr int lambdaCRT = catalogue::ProcessIndex("lambdaCRT");
inline constexpr int lambdaNFT = catalogue::ProcessIndex("lambdaNFT");
inline constexpr int lambdaNWT = catalogue::ProcessIndex("lambdaNWT");
inline constexpr int lambdaNRT = catalogue::ProcessIndex("lambdaNRT");
inline constexpr int lambdaCSF = catalogue::ProcessIndex("lambdaCSF");
inline constexpr int lambdaCSW = catalogue::ProcessIndex("lambdaCSW");
inline constexpr int lambdaCSR = catalogue::ProcessIndex("lambdaCSR");
inline constexpr int lambdaNSF = catalogue::ProcessIndex("lambdaNSF");
inline constexpr int lambdaNSW = catalogue::ProcessIndex("lambdaNSW");
inline constexpr int lambdaNSR = catalogue::ProcessIndex("lambdaNSR");
inline constexpr int lambdaCLF = catalogue::ProcessIndex("lambdaCLF");
inline constexpr int lambdaCLW = catalogue::ProcessIndex("lambdaCLW");
inline constexpr int lambdaCLR = catalogue::ProcessIndex("lambdaCLR");
inline constexpr int lambdaNLF = catalogue::ProcessIndex("lambdaNLF");
inline constexpr int lambdaNLW = catalogue::ProcessIndex("lambdaNLW");
inline constexpr int lambdaNLR = catalogue::ProcessIndex("lambdaNLR");
inline constexpr int Rf = catalogue::ProcessIndex("Rf");
inline constexpr int Rw = catalogue::ProcessIndex("Rw");
inline constexpr int Rr = catalogue::ProcessIndex("Rr");
inline constexpr int Rfmet = catalogue::ProcessIndex("Rfmet");
inline constexpr int Rwmet = catalogue::ProcessIndex("Rwmet");
inline constexpr int Rrmet = catalogue::ProcessIndex("Rrmet");
inline constexpr int RFgr = catalogue::ProcessIndex("RFgr");
inline constexpr int RWgr = catalogue::ProcessIndex("RWgr");
inline constexpr int RRgr = catalogue::ProcessIndex("RRgr");
inline constexpr int Hr = catalogue::ProcessIndex("Hr");
inline constexpr int NPPf = catalogue::ProcessIndex("NPPf");
inline constexpr int NPPw = catalogue::ProcessIndex("NPPw");
inline constexpr int NPPr = catalogue::ProcessIndex("NPPr");
inline constexpr int Cpt = catalogue::ProcessIndex("Cpt");
inline constexpr int Npt = catalogue::ProcessIndex("Npt");
inline constexpr int CNf = catalogue::ProcessIndex("CNf");
inline constexpr int CNw = catalogue::ProcessIndex("CNw");
inline constexpr int CNr = catalogue::ProcessIndex("CNr");
inline constexpr int Ta = catalogue::ProcessIndex("Ta");
inline constexpr int Sp = catalogue::ProcessIndex("Sp");
inline constexpr int Ts = catalogue::ProcessIndex("Ts");
inline constexpr int FClambdaS = catalogue::ProcessIndex("FClambdaS");
inline constexpr int FClambdaE = catalogue::ProcessIndex("FClambdaE");
inline constexpr int FClambdaI = catalogue::ProcessIndex("FClambdaI");
inline constexpr int FCse = catalogue::ProcessIndex("FCse");
inline constexpr int FCei = catalogue::ProcessIndex("FCei");
inline constexpr int FCie = catalogue::ProcessIndex("FCie");
inline constexpr int FCih = catalogue::ProcessIndex("FCih");
inline constexpr int Re = catalogue::ProcessIndex("Re");
inline constexpr int Rh = catalogue::ProcessIndex("Rh");
inline constexpr int rs = catalogue::ProcessIndex("rs");
inline constexpr int FNah = catalogue::ProcessIndex("FNah");
inline constexpr int FNai = catalogue::ProcessIndex("FNai");
inline constexpr int FNia = catalogue::ProcessIndex("FNia");
inline constexpr int FNhi = catalogue::ProcessIndex("FNhi");
inline constexpr int Rst = catalogue::ProcessIndex("Rst");
inline constexpr int Nmin = catalogue::ProcessIndex("Nmin");
inline constexpr int Cst = catalogue::ProcessIndex("Cst");
inline constexpr int Nst = catalogue::ProcessIndex("Nst");
inline constexpr int W = catalogue::ProcessIndex("W");
inline constexpr int Jd = catalogue::ProcessIndex("Jd");
inline constexpr int Qw = catalogue::ProcessIndex("Qw");
inline constexpr int Nnh4aq = catalogue::ProcessIndex("Nnh4aq");
inline constexpr int Nnh4s = catalogue::ProcessIndex("Nnh4s");
inline constexpr int Qnh4 = catalogue::ProcessIndex("Qnh4");
inline constexpr int Cft = catalogue::ProcessIndex("Cft");
inline constexpr int Cwt = catalogue::ProcessIndex("Cwt");
inline constexpr int Crt = catalogue::ProcessIndex("Crt");
inline constexpr int Nft = catalogue::ProcessIndex("Nft");
inline constexpr int Nwt = catalogue::ProcessIndex("Nwt");
inline constexpr int Nrt = catalogue::ProcessIndex("Nrt");
inline constexpr int NEP = catalogue::ProcessIndex("NEP");
inline constexpr int Et = catalogue::ProcessIndex("Et");
}  // namespace proc

}  // namespace kvsorv
