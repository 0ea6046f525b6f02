#include "example_site_calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "model/model_indices.h"
#include "program/global_tables.h"

namespace kvsorv::testing {

namespace {

// The entries, as typed, in the order of the recipe.
constexpr std::pair<std::string_view, std::string_view> kEntries[] = {
    // Observations.
    {"NPPf", "200"},
    {"NPPw", "250"},
    {"NPPr", "150"},
    {"Ps", "1200"},
    {"Cf", "200"},
    {"Cw", "10000"},
    {"Cr", "400"},
    {"Nf", "5"},
    {"Nw", "40"},
    {"Nr", "10"},
    {"Clf", "10"},
    {"Clw", "250"},
    {"Clr", "20"},
    {"Nlf", "0.2"},
    {"Nlw", "2"},
    {"Nlr", "0.4"},
    {"Nnh4", "1"},
    {"Cst", "10500"},
    {"Nst", "440"},
    // Fixed parameters.
    {"daymid", "200"},
    {"mf", "80"},
    {"Deltad", "42.5"},
    {"kappaL", "10"},
    {"Ww", "0.12"},
    {"Wf", "0.4"},
    {"Psiw", "1.5"},
    {"Psif", "0.03"},
    {"qu0", "30"},
    {"aTau", "0.5"},
    {"sigmaF", "1"},
    {"sigmaW", "1"},
    {"sigmaR", "1"},
    {"h1", "5"},
    {"h2", "0.75"},
    {"rg", "0.25"},
    {"aWR", "0.5"},
    {"gammar", "0.1"},
    {"Trmax", "45"},
    {"Tropt", "25"},
    {"kGCF", "0.5"},
    {"aGCF", "0.1"},
    {"bGCF", "5"},
    {"kGCW", "5"},
    {"aGCW", "1"},
    {"bGCW", "50"},
    {"kGCR", "0.5"},
    {"aGCR", "0.1"},
    {"bGCR", "5"},
    {"kGNF", "0.5"},
    {"aGNF", "0.1"},
    {"bGNF", "2"},
    {"kGNW", "5"},
    {"aGNW", "1"},
    {"bGNW", "20"},
    {"kGNR", "0.5"},
    {"aGNR", "0.1"},
    {"bGNR", "2"},
    {"KCa", "100"},
    {"KCb", "100"},
    {"Kcf", "100"},
    {"Kcw", "100"},
    {"Kcr", "100"},
    {"KNa", "10"},
    {"KNb", "10"},
    {"Knf", "10"},
    {"Knw", "10"},
    {"Knr", "10"},
    {"aTCW", "0.01"},
    {"aTNW", "1"},
    {"z", "0.3"},
    {"rho", "1000000"},
    {"kIm", "20"},
    {"Ase", "0.02"},
    {"Aei", "0.002"},
    {"Aie", "0.0005"},
    {"Aih", "0.0002"},
    {"Q10d", "2"},
    {"beta", "0.5"},
    {"p", "1"},
    {"Ep", "0.6"},
    {"etanh4", "100"},
};

std::string FullPrecision(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace

CalibrationOutcome CalibrateExampleSite(SteadyStateSession& session) {
  CalibrationOutcome out;
  for (const auto& [symbol, text] : kEntries) {
    session.CommitEntry(symbol, text);
    ++out.solves;
  }

  // The closing entries, from the values shown now.
  const SteadyStateSolver& s = session.Solver();
  // Ammonium uptake of the model equal to the total litter N the calibration assumes.
  const double N = s.NewProcesses()[proc::Nnh4aq].value;
  const double r = 1.0 - std::exp(-0.02 * s.NewProcesses()[proc::Qw].value) * 0.5;
  const double c = 1.384 * s.NewDrivers()[drv::Ss].value / s.NewDrivers()[drv::Sp].value;
  session.CommitEntry("knh4", FullPrecision(r * N * (1.0 - c) / (c * r - 1.0)));
  // Humus pools of the cell a run starts from.
  session.CommitEntry("Nh", FullPrecision(kExampleCellHumusC / 22.55542));
  session.CommitEntry("Cst",
                      FullPrecision(kExampleCellHumusC + s.NewStates()[st::Cs].value +
                                    s.NewStates()[st::Ce].value + s.NewStates()[st::Ci].value));
  out.solves += 3;

  while (!session.StatusGreen() && out.repeatSolves < 10) {
    session.UpdateForm(true);
    ++out.solves;
    ++out.repeatSolves;
  }
  out.steady = session.StatusGreen();
  for (int i = 1; i <= ModelDef.numstate; ++i)
    out.largestRate = std::max(out.largestRate, std::fabs(s.NewProcesses()[i].value));
  return out;
}

}  // namespace kvsorv::testing
