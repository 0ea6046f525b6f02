#include "model/process_evaluation.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "model/checked_math.h"
#include "model/model_equations.h"

namespace kvsorv {

namespace {

constexpr double kClampedState = 0.00001;

// Whether any value is an infinity or NaN. Such a value has all its exponent bits set, and
// adding one to the exponent field then carries into the sign bit, so gathering those bits
// with integer operations alone checks every value in one test: a loop the compiler
// vectorises (four values at a time where the processor has AVX2), exact for every value,
// and one that no denormal slows down.
[[gnu::target_clones("avx2", "default")]] bool AnyNotFinite(const ProcessValues& v) {
  constexpr std::uint64_t kExponent = 0x7ff0000000000000;
  constexpr std::uint64_t kExponentOne = 0x0010000000000000;
  std::uint64_t faults = 0;
  for (double x : v) faults |= (std::bit_cast<std::uint64_t>(x) & kExponent) + kExponentOne;
  return faults >> 63 != 0;
}

// The driver-only terms of the last evaluation on this thread, kept while its drivers,
// parameters and water coefficient stay the same to the bit: successive evaluations of a
// run or a solve mostly share them. Each term is what the evaluation would compute in place,
// and none of them faults when they are kept, so the results and faults are the same.
std::optional<DriverTerms> CachedDriverTerms(const ModelInputs& in, double G) {
  struct Cache {
    bool filled = false;
    OneBasedArray<double, kNumDrivers> drivers;
    OneBasedArray<double, kNumParams> params;
    double G = 0.0;
    std::optional<DriverTerms> terms;
  };
  thread_local Cache cache;
  const auto same = [](const auto& a, const auto& b) {
    return std::memcmp(a.begin(), b.begin(), sizeof(double) * (b.end() - b.begin())) == 0;
  };
  if (!cache.filled || std::bit_cast<std::uint64_t>(cache.G) != std::bit_cast<std::uint64_t>(G) ||
      !same(cache.drivers, in.drivers) || !same(cache.params, in.params)) {
    cache.filled = true;
    cache.drivers = in.drivers;
    cache.params = in.params;
    cache.G = G;
    cache.terms = ComputeDriverTerms(in, G);
  }
  return cache.terms;
}

void GatherDriversAndParams(const drivearray& drivers, const paramarray& params, ModelInputs& in) {
  for (int i = 1; i <= kNumDrivers; ++i) in.drivers[i] = drivers[i].value;
  for (int i = 1; i <= kNumParams; ++i) in.params[i] = params[i].value;
}

}  // namespace

void ComputeTotals(const ModelInputs& in, ProcessValues& v) {
  const auto& s = in.states;
  using namespace proc;
  v[Rpt] = v[Rf] + v[Rw] + v[Rr];
  v[NPPt] = v[Gclf] + v[Gclw] + v[Gclr] - v[RFgr] - v[RWgr] - v[RRgr];
  v[NPPf] = v[Gclf] - v[RFgr];
  v[NPPw] = v[Gclw] - v[RWgr];
  v[NPPr] = v[Gclr] - v[RRgr];
  v[lambdaCt] = v[lambdaCFT] + v[lambdaCWT] + v[lambdaCRT];
  v[lambdaNt] = v[lambdaNFT] + v[lambdaNWT] + v[lambdaNRT];
  v[Cpt] = s[st::Cf] + s[st::Cw] + s[st::Cr] + s[st::Clf] + s[st::Clw] + s[st::Clr];
  v[Npt] = s[st::Nf] + s[st::Nw] + s[st::Nr] + s[st::Nlf] + s[st::Nlw] + s[st::Nlr];
  v[Rst] = v[Re] + v[Rh];
  v[Nmin] = v[FNai] + v[FNhi] - v[FNia];
  v[Cft] = s[st::Cf] + s[st::Clf];
  v[Cwt] = s[st::Cw] + s[st::Clw];
  v[Crt] = s[st::Cr] + s[st::Clr];
  v[Nft] = s[st::Nf] + s[st::Nlf];
  v[Nwt] = s[st::Nw] + s[st::Nlw];
  v[Nrt] = s[st::Nr] + s[st::Nlr];
  v[NEP] = v[NPPt] - v[Rst];
  // The process Sp reports the soil season length Ss, not the driver Sp.
  v[proc::Sp] = in.drivers[drv::Ss];
}

void ComputeRates(const ModelInputs& in, ProcessValues& v) {
  using namespace proc;
  const double flaghumus = in.drivers[drv::flaghumus];
  OneBasedArray<double, kNumStates> r(kNoInit);  // every rate is written below
  r[st::Cf] = v[Gcf] - v[lambdaCSF] - v[RFgr];
  r[st::Cw] = v[Gcw] - v[lambdaCSW] - v[RWgr];
  r[st::Cr] = v[Gcr] - v[lambdaCSR] - v[RRgr];
  r[st::Nf] = v[Gnf] - v[lambdaNSF] - v[tauNS];
  r[st::Nw] = v[Gnw] - v[lambdaNSW];
  r[st::Nr] = v[Gnr] - v[lambdaNSR];
  r[st::Clf] = v[Gclf] - v[Gcf] - v[lambdaCLF];
  r[st::Clw] = v[Gclw] - v[Gcw] - v[lambdaCLW];
  r[st::Clr] = v[Gclr] - v[Gcr] - v[lambdaCLR];
  r[st::Nlf] = v[Gnlf] - v[Gnf] - v[lambdaNLF] - v[tauNL];
  r[st::Nlw] = v[Gnlw] - v[Gnw] - v[lambdaNLW];
  r[st::Nlr] = v[Gnlr] - v[Gnr] - v[lambdaNLR];
  r[st::Cs] = v[FClambdaS] - v[FCse];
  r[st::Ce] = v[FClambdaE] + v[FCse] + v[FCie] - v[FCei] - v[Re];
  r[st::Ci] = v[FClambdaI] + v[FCei] - v[FCie] - v[FCih];
  r[st::Ch] = (v[FCih] - v[Rh]) * flaghumus;
  r[st::Na] = v[lambdaNt] + v[FNia] - v[FNah] - v[FNai];
  r[st::Nh] = (v[FNah] - v[FNhi]) * flaghumus;
  r[st::Nnh4] = v[FNai] + v[FNhi] + in.drivers[drv::Dnh4] - v[Unh4] - v[Qnh4] - v[FNia];
  for (int i = 1; i <= kNumStates; ++i) v[i] = in.hold[i] ? 0.0 : r[i];
}

void EvaluateProcesses(const ModelInputs& in, double G, bool insolubleCNCheck, ProcessValues& v) {
#ifndef NDEBUG
  // Every slot starts as NaN, so a process the blocks forgot would fail the final check.
  for (double& x : v) x = std::numeric_limits<double>::quiet_NaN();
#endif
  ComputePlantRatios(in, v);
  ComputeWaterAndAmmonium(in, G, v);
  ComputePlantProcesses(in, v);
  ComputeSoilProcesses(in, insolubleCNCheck, v);
  ComputeTotals(in, v);
  ComputeRates(in, v);
  // Products and sums are not checked one by one; an overflow among them leaves an
  // infinity (or NaN) behind, which is caught here before anything is stored.
  if (AnyNotFinite(v)) [[unlikely]]
    fp::RaiseOverflow();
}

void ComputeProcesses(const drivearray& drivers, const paramarray& params, statearray& states,
                      processarray& processes, double /*time*/, const EquationSettings& settings) {
  ModelInputs in;
  for (int i = 1; i <= kNumStates; ++i) {
    if (states[i].value < 0.0) states[i].value = kClampedState;
    in.states[i] = states[i].value;
    in.hold[i] = states[i].HoldConstant;
  }
  GatherDriversAndParams(drivers, params, in);
  in.terms = CachedDriverTerms(in, settings.waterCoefficient);
  ProcessValues v(kNoInit);
  EvaluateProcesses(in, settings.waterCoefficient, settings.insolubleCNCheck, v);
  for (int k = 1; k <= kNumProcesses; ++k) processes[k].value = v[k];
}

ModelInputs PrepareDerivativeInputs(const drivearray& drivers, const paramarray& params,
                                    const statearray& held, double G) {
  ModelInputs in;
  GatherDriversAndParams(drivers, params, in);
  for (int i = 1; i <= kNumStates; ++i) {
    in.states[i] = 0.0;
    in.hold[i] = held[i].HoldConstant;
  }
  in.terms = ComputeDriverTerms(in, G);
  in.waterCoefficient = G;
  return in;
}

void ComputeDerivatives(ModelInputs& in, const StateVector& y, StateVector& dydt) {
  // The clamp acts on this copy only; the integrator's y is never changed.
  for (int i = 1; i <= kNumStates; ++i) in.states[i] = y[i] < 0.0 ? kClampedState : y[i];
  ProcessValues v(kNoInit);
  EvaluateProcesses(in, in.waterCoefficient, false, v);
  for (int i = 1; i <= kNumStates; ++i) dydt[i] = v[i];
}

}  // namespace kvsorv
