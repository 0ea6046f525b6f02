// Plant processes of the example forest, recomputed by hand from the formulas, and the
// guarded branches: theta's clamp, the day length at the polar limits, qU's floor, Hr above
// its maximum temperature, maintenance respiration on carbon, sapwood below the wood pool.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "equation_fixture.h"
#include "model/model_equations.h"

namespace kvsorv::testing {
namespace {

constexpr double kPi = std::numbers::pi;

class PlantProcessesTest : public EquationTest {
 protected:
  struct Canopy {
    double theta, dPsi, Pc, DL, Ps;
  };

  // Soil water for the current precipitation and water coefficient.
  static double HandW() {
    const double G = WaterCoefficient;
    return std::pow(1000.0 * D("Ppt"), 0.61 - 0.012 * G) * (0.51 - 0.036 * G + 0.0032 * G * G) +
           114.0 + 0.4 * G;
  }

  // Canopy photosynthesis chain from the current tables and soil water W.
  static Canopy HandCanopy(double W) {
    Canopy c{};
    const double Ca = D("Ca"), Tamax = D("Tamax"), Tamin = D("Tamin"), I = D("I");
    const double LAI = S("Cf") / K("mf");
    c.theta =
        std::clamp((1000.0 * W / (K("rho") * K("z")) - K("Ww")) / (K("Wf") - K("Ww")), 0.0, 1.0);
    c.dPsi = K("Psiw") * (1.0 - std::pow(K("Psiw") / K("Psif"), -c.theta));
    const double gc = c.dPsi / (50.41 / K("kappaL") + (Tamax - Tamin) / 2.0);
    const double Vg = 0.192 * K("aNf") * S("Nf") / gc * (14.78 * Tamax / (14.78 + Tamax));
    const double kI = 0.161 * std::pow(LAI, 2.0 - 1.146);
    // Larger root of x^2 - Bq x - (499.832 Ca + 0.468 Vg) = 0.
    const double Bq = Ca + 0.468 - 500.3 - Vg;
    const double Cint = (Bq + std::sqrt(Bq * Bq + 4.0 * (499.832 * Ca + 0.468 * Vg))) / 2.0;
    const double Fc = (Ca - Cint) * gc;
    c.Pc = Fc * kI * I / (kI * I + Fc);
    const double decl = -23.4 * kPi / 180.0 * std::cos(2.0 * kPi * (K("daymid") + 10.0) / 365.0);
    const double xd = std::tan(decl) * std::tan(K("Deltad") * kPi / 180.0);
    c.DL = xd >= 1.0 ? 24.0 : xd <= -1.0 ? 0.0 : std::asin(-xd) * 24.0 / kPi;
    c.Ps = K("Sc") * D("Ss") * (0.125 * c.DL + 2.196) * c.Pc;
    return c;
  }
};

TEST(PlantBlocks, TissueRatiosAreZeroWithoutNitrogen) {
  // The guards cannot be seen through a whole evaluation (a zero Nf, Nw or Nr fails later
  // in maintenance respiration), so the first block is run on its own.
  ModelInputs in{};
  in.states[st::Cf] = 200.0;
  in.states[st::Nf] = 0.0;
  in.states[st::Cw] = 10000.0;
  in.states[st::Nw] = -1.0;
  in.states[st::Cr] = 400.0;
  in.states[st::Nr] = 16.0;
  in.drivers[drv::Tamax] = 21.0;
  in.drivers[drv::Tamin] = 8.0;
  ProcessValues v{};
  ComputePlantRatios(in, v);
  EXPECT_EQ(v[proc::CNf], 0.0);
  EXPECT_EQ(v[proc::CNw], 0.0);
  EXPECT_EQ(v[proc::CNr], 25.0);
  EXPECT_EQ(v[proc::Ta], 14.5);
}

TEST_F(PlantProcessesTest, RatiosTemperatureAndSeasonLength) {
  Evaluate();
  EXPECT_EQ(P("CNf"), 40.0);
  EXPECT_EQ(P("CNw"), 250.0);
  EXPECT_EQ(P("CNr"), 40.0);
  EXPECT_EQ(P("Ta"), 15.0);
  // The process Sp reports the soil season Ss (150), not the plant season driver Sp (180).
  EXPECT_EQ(P("Sp"), 150.0);
}

TEST_F(PlantProcessesTest, PhotosynthesisChainByHand) {
  struct Case {
    std::string name;
    double Wf;  // field capacity; the example soil (W / (rho z) = 0.50) is wetter than 0.4
    double Ca;
    double G;
  };
  const Case cases[] = {
      {"wetter than field capacity: theta clamped to 1", 0.4, 350.0, 0.0},
      {"theta inside (0, 1)", 0.6, 350.0, 0.0},
      {"theta inside, water coefficient 10", 0.6, 350.0, 10.0},
      {"doubled CO2", 0.6, 700.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    K("Wf") = c.Wf;
    D("Ca") = c.Ca;
    WaterCoefficient = c.G;
    Evaluate();
    const Canopy hand = HandCanopy(HandW());
    EXPECT_TRUE(Near(P("Ps"), hand.Ps));
    if (c.Wf == 0.4) {
      EXPECT_EQ(hand.theta, 1.0);
      EXPECT_TRUE(Near(hand.dPsi, K("Psiw") - K("Psif")));
    } else {
      EXPECT_GT(hand.theta, 0.0);
      EXPECT_LT(hand.theta, 1.0);
    }
  }
}

// Declination of the model for a midseason day, grouped exactly as the model groups it, so
// a latitude giving xd exactly 1 for the model can be found.
double ModelDeclination(double daymid) {
  constexpr double kDegree = 0.0174532925199432958;
  return std::cos((daymid + 10.0) * 360.0 / 365.0 * kDegree) * (-23.4) * kDegree;
}
double ModelXd(double daymid, double Deltad) {
  return std::tan(ModelDeclination(daymid)) * std::tan(3.14159265358979324 * Deltad / 180.0);
}

// A midseason day and a latitude for which xd is exactly 1, searched among the doubles next
// to the exact polar-day latitude; false when none is found.
bool FindPolarLimit(double& daymid, double& Deltad) {
  for (daymid = 150.0; daymid <= 220.0; daymid += 1.0) {
    const double exact = std::atan(1.0 / std::tan(ModelDeclination(daymid))) * 180.0 / kPi;
    double lat = exact;
    for (int i = 0; i < 300; ++i) lat = std::nextafter(lat, 0.0);
    for (int i = 0; i < 600; ++i, lat = std::nextafter(lat, 90.0)) {
      if (ModelXd(daymid, lat) == 1.0) {
        Deltad = lat;
        return true;
      }
    }
  }
  return false;
}

TEST_F(PlantProcessesTest, DayLengthAtAndBeyondThePolarLimits) {
  double limitDay = 0.0, limitLatitude = 0.0;
  ASSERT_TRUE(FindPolarLimit(limitDay, limitLatitude));
  ASSERT_EQ(ModelXd(limitDay, -limitLatitude), -1.0);

  struct Case {
    std::string name;
    double Deltad, daymid;
    double DL;  // < -100: the arcsine value of the hand chain
  };
  const Case cases[] = {
      {"equator, xd = 0: arcsine 0", 0.0, 200.0, 0.0},
      {"xd exactly 1", limitLatitude, limitDay, 24.0},
      {"xd exactly -1", -limitLatitude, limitDay, 0.0},
      {"polar summer, xd > 1", 89.0, 200.0, 24.0},
      {"polar winter, xd < -1", -89.0, 200.0, 0.0},
      {"example latitude: arcsine of -xd", 42.5, 200.0, -1000.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    K("Deltad") = c.Deltad;
    K("daymid") = c.daymid;
    Evaluate();
    const Canopy hand = HandCanopy(HandW());
    const double DL = c.DL < -100.0 ? hand.DL : c.DL;
    if (c.DL < -100.0) {
      EXPECT_LT(DL, 0.0);  // the arcsine, not the arccosine
    }
    // Pc does not depend on the latitude, so Ps tells DL through its factor 0.125 DL + 2.196.
    EXPECT_TRUE(Near(P("Ps"), K("Sc") * D("Ss") * (0.125 * DL + 2.196) * hand.Pc));
  }
}

TEST_F(PlantProcessesTest, TranslocationSapwoodAndUptake) {
  struct Case {
    std::string name;
    double h1, qu0;
    double Csw, Nsw, qU;
  };
  const Case cases[] = {
      // (h1 LAI)^(1/(1-h2)) = 12.5^4 = 24414 >= Cw: all wood is sapwood.
      {"example", 5.0, 30.0, 10000.0, 40.0, 40.0},
      // 2.5^4 = 39 < Cw: Csw = Cw^0.75 * 2.5; root C:N 40 not above 50: qU = qu0.
      {"small h1, high qu0", 1.0, 50.0, 2500.0, 10.0, 50.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    K("h1") = c.h1;
    K("qu0") = c.qu0;
    Evaluate();
    EXPECT_TRUE(Near(P("Csw"), c.Csw));
    EXPECT_TRUE(Near(P("Nsw"), c.Nsw));
    EXPECT_EQ(P("qU"), c.qU);
    EXPECT_EQ(P("tauNS"), 2.5);  // aTau AlambdaF Nf
    EXPECT_TRUE(Near(P("tauNL"), 0.1));
    EXPECT_TRUE(Near(P("tauN"), 2.6));
    const double Nav = (1.0 - 0.5 * std::exp(-0.02 * P("Qw"))) * P("Nnh4aq");
    const double Unh4 = 1.384 * D("Ss") * K("Unh4max") * S("Cr") * Nav / ((K("knh4") + Nav) * c.qU);
    EXPECT_TRUE(Near(P("Unh4"), Unh4));
  }
}

TEST_F(PlantProcessesTest, RespirationTemperatureAndMaintenance) {
  Evaluate();
  // exp((15 - 25) 0.1) ((45 - 15) / (45 - 25))^((45 - 25) 0.1) = 2.25 / e.
  const double Hr = 2.25 * std::exp(-1.0);
  EXPECT_TRUE(Near(P("Hr"), Hr));
  // Target ratios are 0.4 for all tissues; every tissue is N-poor, so respiration follows N.
  EXPECT_TRUE(Near(P("Rfmet"), 10.0 * Hr * 5.0));
  EXPECT_TRUE(Near(P("Rwmet"), 0.5 * 10.0 * Hr * 40.0));
  EXPECT_TRUE(Near(P("Rrmet"), 10.0 * Hr * 10.0));

  // Foliage target 1 * 250 / (1 * 5) = 50 above its C:N of 40: respiration follows C.
  K("bGNF") = 250.0;
  Evaluate();
  EXPECT_TRUE(Near(P("Rfmet"), 10.0 * Hr * 200.0 / 50.0));

  // Above the maximum temperature there is no maintenance respiration.
  K("Trmax") = 14.0;
  Evaluate();
  EXPECT_EQ(P("Hr"), 0.0);
  EXPECT_EQ(P("Rfmet"), 0.0);
  EXPECT_EQ(P("Rwmet"), 0.0);
  EXPECT_EQ(P("Rrmet"), 0.0);
}

// Node potentials of the three-node circuit by Cramer's rule on the node balances
// (an independent route to the stem-potential elimination of the model).
struct Circuit {
  double outF, outW, outR;
};
Circuit SolveCircuit(double kf, double kw, double kr, double a, double b, double sf, double sw,
                     double sr) {
  const double m[3][3] = {{kf + a, -a, 0.0}, {-a, kw + a + b, -b}, {0.0, -b, kr + b}};
  const double rhs[3] = {sf, sw, sr};
  auto det = [](const double(&x)[3][3]) {
    return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
           x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
           x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
  };
  double potential[3];
  for (int col = 0; col < 3; ++col) {
    double mc[3][3];
    for (int r = 0; r < 3; ++r)
      for (int q = 0; q < 3; ++q) mc[r][q] = q == col ? rhs[r] : m[r][q];
    potential[col] = det(mc) / det(m);
  }
  return {kf * potential[0], kw * potential[1], kr * potential[2]};
}

TEST_F(PlantProcessesTest, TransportCircuitConservesWhatEntersIt) {
  // Unequal conductances, so that swapped foliage-stem and stem-root terms show.
  K("KCa") = 50.0;
  K("KCb") = 200.0;
  K("Kcw") = 80.0;
  K("Kcr") = 20.0;
  K("KNa") = 5.0;
  K("KNb") = 20.0;
  K("Knw") = 8.0;
  K("Knr") = 2.0;
  Evaluate();
  EXPECT_TRUE(Near(P("Tcf"), 1.0 * 100.0 * 10.0));
  EXPECT_TRUE(Near(P("Tcw"), 0.01 * 80.0 * 250.0));
  EXPECT_TRUE(Near(P("Tcr"), 0.05 * 20.0 * 20.0));
  EXPECT_TRUE(Near(P("Tnf"), 1.0 * 10.0 * 0.2));
  EXPECT_TRUE(Near(P("Tnw"), 1.0 * 8.0 * 2.0));
  EXPECT_TRUE(Near(P("Tnr"), 1.0 * 2.0 * 0.4));

  const Circuit c = SolveCircuit(100.0, 80.0, 20.0, 50.0, 200.0, P("Ps") - P("Rfmet") + P("Tcf"),
                                 P("Tcw") - P("Rwmet"), P("Tcr") - P("Rrmet"));
  EXPECT_TRUE(Near(P("Scf"), c.outF, 1e-10));
  EXPECT_TRUE(Near(P("Scw"), c.outW, 1e-10));
  EXPECT_TRUE(Near(P("Scr"), c.outR, 1e-10));
  const Circuit n =
      SolveCircuit(10.0, 8.0, 2.0, 5.0, 20.0, P("Tnf"), P("tauN") + P("Tnw"), P("Unh4") + P("Tnr"));
  EXPECT_TRUE(Near(P("Snf"), n.outF, 1e-10));
  EXPECT_TRUE(Near(P("Snw"), n.outW, 1e-10));
  EXPECT_TRUE(Near(P("Snr"), n.outR, 1e-10));

  EXPECT_EQ(P("Gclf"), P("Scf") - P("Tcf"));
  EXPECT_EQ(P("Gclw"), P("Scw") - P("Tcw"));
  EXPECT_EQ(P("Gclr"), P("Scr") - P("Tcr"));
  EXPECT_EQ(P("Gnlf"), P("Snf") - P("Tnf"));
  EXPECT_EQ(P("Gnlw"), P("Snw") - P("Tnw"));
  EXPECT_EQ(P("Gnlr"), P("Snr") - P("Tnr"));
}

TEST_F(PlantProcessesTest, GrowthIsDrivenByCarbonPools) {
  Evaluate();
  struct Case {
    const char* symbol;
    double expected;  // X gmax L M / (a L + k + b M + L M)
  };
  const Case cases[] = {
      {"Gcf", 200.0 * 1.0 * 10.0 * 0.2 / (0.1 * 10.0 + 0.5 + 5.0 * 0.2 + 10.0 * 0.2)},
      {"Gcw", 10000.0 * 0.1 * 250.0 * 2.0 / (1.0 * 250.0 + 5.0 + 50.0 * 2.0 + 250.0 * 2.0)},
      {"Gcr", 400.0 * 1.0 * 20.0 * 0.4 / (0.1 * 20.0 + 0.5 + 5.0 * 0.4 + 20.0 * 0.4)},
      // Nitrogen growth multiplies the carbon pool, not the nitrogen pool.
      {"Gnf", 200.0 * 1.0 * 10.0 * 0.2 / (0.1 * 10.0 + 0.5 + 2.0 * 0.2 + 10.0 * 0.2)},
      {"Gnw", 10000.0 * 0.1 * 250.0 * 2.0 / (1.0 * 250.0 + 5.0 + 20.0 * 2.0 + 250.0 * 2.0)},
      {"Gnr", 400.0 * 1.0 * 20.0 * 0.4 / (0.1 * 20.0 + 0.5 + 2.0 * 0.4 + 20.0 * 0.4)},
  };
  for (const Case& c : cases) EXPECT_TRUE(Near(P(c.symbol), c.expected)) << c.symbol;
  // rg / (1 + rg) = 0.2 of growth.
  EXPECT_TRUE(Near(P("RFgr"), 0.2 * P("Gcf")));
  EXPECT_TRUE(Near(P("RWgr"), 0.2 * P("Gcw")));
  EXPECT_TRUE(Near(P("RRgr"), 0.2 * P("Gcr")));
  EXPECT_EQ(P("Rf"), P("Rfmet") + P("RFgr"));
  EXPECT_EQ(P("Rw"), P("Rwmet") + P("RWgr"));
  EXPECT_EQ(P("Rr"), P("Rrmet") + P("RRgr"));
}

TEST_F(PlantProcessesTest, LitterfallFromStructuralAndLabilePools) {
  struct Case {
    std::string name;
    double sigmaF;
    std::vector<std::pair<const char*, double>> expected;
  };
  const double f15 = std::pow(200.0, 1.5), l15 = std::pow(10.0, 1.5);
  const Case cases[] = {
      {"linear litterfall",
       1.0,
       {{"lambdaCSF", 200.0},
        {"lambdaCSW", 0.02 * 10000.0},
        {"lambdaCSR", 0.3 * 400.0},
        {"lambdaNSF", 0.5 * 200.0 * 5.0 / 200.0},  // only foliage loses the translocated part
        {"lambdaNSW", 200.0 * 40.0 / 10000.0},
        {"lambdaNSR", 120.0 * 10.0 / 400.0},
        {"lambdaCLF", 10.0},
        {"lambdaCLW", 0.02 * 250.0},
        {"lambdaCLR", 0.3 * 20.0},
        {"lambdaNLF", 0.5 * 10.0 * 0.2 / 10.0},
        {"lambdaNLW", 5.0 * 2.0 / 250.0},
        {"lambdaNLR", 6.0 * 0.4 / 20.0},
        {"lambdaCFT", 210.0},
        {"lambdaCWT", 205.0},
        {"lambdaCRT", 126.0},
        {"lambdaNFT", 2.6},
        {"lambdaNWT", 0.84},
        {"lambdaNRT", 3.12}}},
      {"foliage exponent 1.5",
       1.5,
       {{"lambdaCSF", f15},
        {"lambdaNSF", 0.5 * f15 * 5.0 / 200.0},
        {"lambdaCLF", l15},
        {"lambdaNLF", 0.5 * l15 * 0.2 / 10.0},
        {"lambdaCFT", f15 + l15}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    K("sigmaF") = c.sigmaF;
    Evaluate();
    for (const auto& [symbol, value] : c.expected) EXPECT_TRUE(Near(P(symbol), value)) << symbol;
  }
}

}  // namespace
}  // namespace kvsorv::testing
