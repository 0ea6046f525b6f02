// The evaluation entry: the negative-state clamp, held states, the humus flag, totals and
// rates, the carbon and nitrogen balances they imply, every named math fault (raised with
// its kind, nothing stored), and the integrator's derivative function.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "equation_fixture.h"
#include "model/errors.h"
#include "model/model_equations.h"
#include "model/model_indices.h"
#include "program/program_equations.h"

namespace kvsorv::testing {
namespace {

// The derivatives with the flags of the global States and the global water coefficient, the
// driver-only terms worked out within the evaluation rather than ahead of it.
void DerivativesWithoutCachedTerms(const drivearray& drivers, const paramarray& params,
                                   const StateVector& y, StateVector& dydt) {
  ModelInputs in = PrepareDerivativeInputs(drivers, params, States, WaterCoefficient);
  in.terms.reset();
  ComputeDerivatives(in, y, dydt);
}

using ProcessEvaluationTest = EquationTest;

// The kind of error an evaluation raised, "none" when it finished.
std::string Raised(const std::function<void()>& evaluate) {
  try {
    evaluate();
  } catch (const EZeroDivide&) {
    return "EZeroDivide";
  } catch (const EInvalidOp&) {
    return "EInvalidOp";
  } catch (const EOverflow&) {
    return "EOverflow";
  } catch (const ECalculateError&) {
    return "ECalculateError";
  }
  return "none";
}

void FillSentinels(processarray& processes) {
  for (int k = 1; k <= ModelDef.numprocess; ++k) processes[k].value = 1000.0 + k;
}

TEST_F(ProcessEvaluationTest, NegativeStatesAreRaisedInTheTablePassed) {
  S("Cs") = -5.0;
  S("Ce") = 0.0;
  Evaluate();
  EXPECT_EQ(S("Cs"), 0.00001);
  EXPECT_EQ(S("Ce"), 0.0);
  EXPECT_TRUE(Near(P("FCse"), P("rs") * 0.02 * 0.00001));
  EXPECT_EQ(P("FCei"), 0.0);

  // A private table is clamped, the global one is left alone.
  statearray copy = States;
  copy[st::Ci].value = -5.0;
  processarray processes;
  ComputeProcesses(Drivers, Params, copy, processes, 0.0);
  EXPECT_EQ(copy[st::Ci].value, 0.00001);
  EXPECT_EQ(S("Ci"), 1500.0);

  // The clamp has happened even when the evaluation then fails.
  S("Nw") = -5.0;
  S("Cf") = 0.0;
  EXPECT_THROW(Evaluate(), EInvalidOp);
  EXPECT_EQ(S("Nw"), 0.00001);
}

TEST_F(ProcessEvaluationTest, HeldStateHasZeroRateAndUnchangedFluxes) {
  Evaluate();
  const processarray free = Processes;
  ASSERT_NE(free[proc::dCfdt].value, 0.0);
  States[st::Cf].HoldConstant = true;
  Evaluate();
  EXPECT_EQ(P("dCfdt"), 0.0);
  for (int k = 1; k <= ModelDef.numprocess; ++k) {
    if (k != proc::dCfdt) {
      EXPECT_EQ(Processes[k].value, free[k].value) << Processes[k].symbol;
    }
  }
  EXPECT_NE(P("Gcf"), 0.0);
  EXPECT_NE(P("lambdaCSF"), 0.0);
  EXPECT_NE(P("RFgr"), 0.0);
}

TEST_F(ProcessEvaluationTest, HumusFlagZeroStopsOnlyTheHumusRates) {
  Evaluate();
  const processarray withHumus = Processes;
  D("flaghumus") = 0.0;
  Evaluate();
  EXPECT_EQ(P("dChdt"), 0.0);
  EXPECT_EQ(P("dNhdt"), 0.0);
  ASSERT_NE(withHumus[proc::dChdt].value, 0.0);
  ASSERT_NE(withHumus[proc::dNhdt].value, 0.0);
  for (int k = 1; k <= ModelDef.numprocess; ++k) {
    if (k != proc::dChdt && k != proc::dNhdt) {
      EXPECT_EQ(Processes[k].value, withHumus[k].value) << Processes[k].symbol;
    }
  }
  for (const char* flux : {"FCih", "Rh", "FNah", "FNhi"}) EXPECT_GT(P(flux), 0.0) << flux;
}

TEST_F(ProcessEvaluationTest, TotalsAndRates) {
  Evaluate();
  struct Case {
    const char* symbol;
    double expected;
  };
  const Case totals[] = {
      {"Cpt", 10880.0},
      {"Npt", 57.6},
      {"Cft", 210.0},
      {"Cwt", 10250.0},
      {"Crt", 420.0},
      {"Nft", 5.2},
      {"Nwt", 42.0},
      {"Nrt", 10.4},
      {"lambdaCt", 541.0},
      {"lambdaNt", 6.56},
      {"Rpt", P("Rf") + P("Rw") + P("Rr")},
      {"NPPf", P("Gclf") - P("RFgr")},
      {"NPPw", P("Gclw") - P("RWgr")},
      {"NPPr", P("Gclr") - P("RRgr")},
      {"NPPt", P("NPPf") + P("NPPw") + P("NPPr")},
      {"Rst", P("Re") + P("Rh")},
      {"Nmin", P("FNai") + P("FNhi") - P("FNia")},
      {"NEP", P("NPPt") - P("Rst")},
      // Rates by hand where the fluxes are simple numbers (growth from the growth test).
      {"dCfdt", 0.8 * 400.0 / 4.5 - 200.0},
      {"dNwdt", 500000.0 / 795.0 - 0.8},
      {"dNlwdt", P("Gnlw") - 500000.0 / 795.0 - 0.04},
      // The remaining rates straight from their definitions.
      {"dCwdt", P("Gcw") - P("lambdaCSW") - P("RWgr")},
      {"dCrdt", P("Gcr") - P("lambdaCSR") - P("RRgr")},
      {"dNfdt", P("Gnf") - P("lambdaNSF") - P("tauNS")},
      {"dNrdt", P("Gnr") - P("lambdaNSR")},
      {"dClfdt", P("Gclf") - P("Gcf") - P("lambdaCLF")},
      {"dClwdt", P("Gclw") - P("Gcw") - P("lambdaCLW")},
      {"dClrdt", P("Gclr") - P("Gcr") - P("lambdaCLR")},
      {"dNlfdt", P("Gnlf") - P("Gnf") - P("lambdaNLF") - P("tauNL")},
      {"dNlrdt", P("Gnlr") - P("Gnr") - P("lambdaNLR")},
      {"dCsdt", P("FClambdaS") - P("FCse")},
      {"dCedt", P("FClambdaE") + P("FCse") + P("FCie") - P("FCei") - P("Re")},
      {"dCidt", P("FClambdaI") + P("FCei") - P("FCie") - P("FCih")},
      {"dChdt", P("FCih") - P("Rh")},
      {"dNadt", P("lambdaNt") + P("FNia") - P("FNah") - P("FNai")},
      {"dNhdt", P("FNah") - P("FNhi")},
      {"dNnh4dt", P("FNai") + P("FNhi") + 0.8 - P("Unh4") - P("Qnh4") - P("FNia")},
  };
  for (const Case& c : totals) EXPECT_TRUE(Near(P(c.symbol), c.expected)) << c.symbol;
}

// Fluxes reach about 2e3 here; summing a few dozen of them rounds to about 1e-12, while a
// wrong or missing term moves a balance by far more than 1e-9.
constexpr double kBalanceTolerance = 1e-9;

double SumOfRates(std::initializer_list<int> states) {
  double sum = 0.0;
  for (int i : states) sum += Processes[i].value;
  return sum;
}

TEST_F(ProcessEvaluationTest, CarbonAndNitrogenBalances) {
  for (double G : {0.0, 10.0}) {
    SCOPED_TRACE(G);
    WaterCoefficient = G;
    Evaluate();
    const double plantC = SumOfRates({st::Cf, st::Cw, st::Cr, st::Clf, st::Clw, st::Clr});
    const double plantN = SumOfRates({st::Nf, st::Nw, st::Nr, st::Nlf, st::Nlw, st::Nlr});
    const double soilC = SumOfRates({st::Cs, st::Ce, st::Ci, st::Ch});
    const double soilN = SumOfRates({st::Na, st::Nh, st::Nnh4});
    // Photosynthesis enters the labile circuit, which conserves what enters it.
    EXPECT_NEAR(P("NPPt"), P("Ps") - P("Rpt"), kBalanceTolerance);
    EXPECT_NEAR(plantC, P("Ps") - P("Rpt") - P("lambdaCt"), kBalanceTolerance);
    // Translocation stays inside the plant.
    EXPECT_NEAR(plantN, P("Unh4") - P("lambdaNt"), kBalanceTolerance);
    EXPECT_NEAR(soilC, P("lambdaCt") - P("Rst"), kBalanceTolerance);
    EXPECT_NEAR(soilN, P("lambdaNt") + D("Dnh4") - P("Unh4") - P("Qnh4"), kBalanceTolerance);
    EXPECT_NEAR(plantC + soilC, P("NEP"), kBalanceTolerance);
    EXPECT_NEAR(plantN + soilN, D("Dnh4") - P("Qnh4"), kBalanceTolerance);
  }
}

TEST_F(ProcessEvaluationTest, MathFaultsRaiseTheirKindAndStoreNothing) {
  struct Case {
    std::string name;
    std::function<void()> change;
    double G;
    std::string kind;
  };
  const Case cases[] = {
      {"soil at the wilting point: Vg divides by gc 0",
       [] {
         K("Ww") = 0.6;
         K("Wf") = 0.9;
       },
       0, "EZeroDivide"},
      {"same with aNf Nf 0: Vg is 0/0",
       [] {
         K("Ww") = 0.6;
         K("Wf") = 0.9;
         K("aNf") = 0;
       },
       0, "EInvalidOp"},
      {"Cf 0: kI is 0/0", [] { S("Cf") = 0; }, 0, "EInvalidOp"},
      {"Nf 0, Cf above 0: foliage C:N in Rfmet", [] { S("Nf") = 0; }, 0, "EZeroDivide"},
      {"Ta equal to Trmax: ln 0 in Hr", [] { K("Trmax") = 15; }, 0, "EZeroDivide"},
      {"Cw 0: Nsw is 0/0", [] { S("Cw") = 0; }, 0, "EInvalidOp"},
      {"labile wood C 0: its litter N is 0/0", [] { S("Clw") = 0; }, 0, "EInvalidOp"},
      {"negative precipitation, G 0", [] { D("Ppt") = -0.5; }, 0, "EInvalidOp"},
      {"negative precipitation, G 10", [] { D("Ppt") = -0.5; }, 10, "EInvalidOp"},
      {"soil depth 0: theta divides", [] { K("z") = 0; }, 0, "EZeroDivide"},
      {"negative affinity: root of a negative", [] { K("etanh4") = -1000; }, 0, "EInvalidOp"},
      {"no wood litter: 0/0 in the litter split", [] { K("AlambdaW") = 0; }, 0, "EInvalidOp"},
      {"Wdopt^phiD equal to Wdmin^phiD", [] { K("Wdmin") = 150; }, 0, "EZeroDivide"},
      {"Q10d 0: ln 0", [] { K("Q10d") = 0; }, 0, "EZeroDivide"},
      {"Q10d negative", [] { K("Q10d") = -2; }, 0, "EInvalidOp"},
      {"qI 0: FNah", [] { K("qI") = 0; }, 0, "EZeroDivide"},
      {"huge Q10d: exp overflows in rs", [] { K("Q10d") = 1e300; }, 0, "EOverflow"},
      {"labile C transport beyond range", [] { K("aTCF") = 1e307; }, 0, "EOverflow"},
      {"soil N total beyond range",
       [] {
         S("Na") = 1e308;
         S("Nh") = 1e308;
       },
       0, "EOverflow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadExample();
    WaterCoefficient = c.G;
    c.change();
    FillSentinels(Processes);
    const processarray before = Processes;
    EXPECT_EQ(Raised([] { Evaluate(); }), c.kind);
    EXPECT_EQ(Processes, before);
  }
  // The example itself evaluates.
  LoadExample();
  WaterCoefficient = 0.0;
  EXPECT_EQ(Raised([] { Evaluate(); }), "none");
}

StateVector ExampleStateVector() {
  StateVector y{};
  for (int i = 1; i <= ModelDef.numstate; ++i) y[i] = States[i].value;
  return y;
}

TEST_F(ProcessEvaluationTest, DerivativesEqualTheRatesOfTheEvaluation) {
  const StateVector y = ExampleStateVector();
  FillSentinels(Processes);
  const processarray sentinels = Processes;
  StateVector dydt{};
  DerivativesWithoutCachedTerms(Drivers, Params, y, dydt);
  EXPECT_EQ(Processes, sentinels);  // the global table is not the one written
  Evaluate();
  for (int i = 1; i <= ModelDef.numstate; ++i)
    EXPECT_EQ(dydt[i], Processes[i].value) << Processes[i].symbol;

  // Inputs prepared once and reused give the same rates, whatever y came before.
  // The driver-only terms computed ahead give bit-for-bit the same rates.
  ModelInputs in = PrepareDerivativeInputs(Drivers, Params, States, WaterCoefficient);
  ASSERT_TRUE(in.terms.has_value());
  StateVector other = y, reused{};
  other[st::Cw] = 5000.0;
  ComputeDerivatives(in, other, reused);
  ComputeDerivatives(in, y, reused);
  EXPECT_EQ(reused, dydt);
}

TEST_F(ProcessEvaluationTest, EveryProcessSlotIsWritten) {
  // The evaluation does not clear its value array first; a slot the blocks forgot would keep
  // the NaN put there and fail the final check.
  ModelInputs in = PrepareDerivativeInputs(Drivers, Params, States, WaterCoefficient);
  const StateVector y = ExampleStateVector();
  for (int i = 1; i <= kNumStates; ++i) in.states[i] = y[i];
  for (const bool precomputed : {true, false}) {
    if (!precomputed) in.terms.reset();
    ProcessValues v;
    for (double& x : v) x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NO_THROW(EvaluateProcesses(in, WaterCoefficient, false, v)) << precomputed;
  }
}

TEST_F(ProcessEvaluationTest, PrecomputedTermsKeepTheFaultOrder) {
  // Air temperature at the respiration maximum makes the driver-only terms fail, so none are
  // computed ahead, and each evaluation meets the faults in the usual order: with Cf = 0 as
  // well, the 0/0 of the light term comes before the logarithm of zero in Hr.
  struct Case {
    double Cf;
    bool invalidOpFirst;
  };
  for (const Case c : {Case{200.0, false}, Case{0.0, true}}) {
    D("Tamax") = 45.0;
    D("Tamin") = 45.0;
    StateVector y = ExampleStateVector();
    y[st::Cf] = c.Cf;
    ModelInputs in = PrepareDerivativeInputs(Drivers, Params, States, WaterCoefficient);
    EXPECT_FALSE(in.terms.has_value());
    StateVector dydt{};
    if (c.invalidOpFirst) {
      EXPECT_THROW(ComputeDerivatives(in, y, dydt), EInvalidOp);
      EXPECT_THROW(DerivativesWithoutCachedTerms(Drivers, Params, y, dydt), EInvalidOp);
    } else {
      EXPECT_THROW(ComputeDerivatives(in, y, dydt), EZeroDivide);
      EXPECT_THROW(DerivativesWithoutCachedTerms(Drivers, Params, y, dydt), EZeroDivide);
    }
  }
}

TEST_F(ProcessEvaluationTest, DerivativesClampACopyOfY) {
  StateVector y = ExampleStateVector();
  y[st::Cs] = -5.0;
  const StateVector given = y;
  StateVector dydt{};
  DerivativesWithoutCachedTerms(Drivers, Params, y, dydt);
  EXPECT_EQ(y, given);
  EXPECT_EQ(S("Cs"), 50.0);
  S("Cs") = 0.00001;
  Evaluate();
  for (int i = 1; i <= ModelDef.numstate; ++i)
    EXPECT_EQ(dydt[i], Processes[i].value) << Processes[i].symbol;
}

TEST_F(ProcessEvaluationTest, DerivativesUseGlobalHoldFlagsAndTheTablesGiven) {
  const StateVector y = ExampleStateVector();
  States[st::Cf].HoldConstant = true;
  drivearray drivers = Drivers;
  drivers[drv::flaghumus].value = 0.0;
  StateVector dydt{};
  DerivativesWithoutCachedTerms(drivers, Params, y, dydt);
  EXPECT_EQ(dydt[st::Cf], 0.0);
  EXPECT_EQ(dydt[st::Ch], 0.0);
  EXPECT_EQ(dydt[st::Nh], 0.0);
  EXPECT_NE(dydt[st::Cw], 0.0);

  // Faults reach the caller with their kind.
  StateVector bad = y;
  bad[st::Cf] = 0.0;
  EXPECT_THROW(DerivativesWithoutCachedTerms(Drivers, Params, bad, dydt), EInvalidOp);
  paramarray params = Params;
  params[prm::Trmax].value = 15.0;
  EXPECT_THROW(DerivativesWithoutCachedTerms(Drivers, params, y, dydt), EZeroDivide);
}

}  // namespace
}  // namespace kvsorv::testing
