#include "steady_state/steady_state_fields.h"

#include <array>

#include "model/model_indices.h"

namespace kvsorv {

namespace {

using enum QuantityKind;
using enum FieldRole;
using enum GroupPlacement;

// Group positions, in the order of kGroups.
enum Group : int {
  kGbState,
  kGbDriver,
  kGbGPP,
  kGbNUptake,
  kGbTranslocation,
  kGbNPP,
  kGbSapwood,
  kGbPResp,
  kGbRespTemp,
  kGbGrowth,
  kGbAllocation,
  kGbSoilProperties,
  kGbImmob,
  kGbSoilC,
  kGbSResp,
  kGbWaterLeaching,
  kGbDissNH4,
};

constexpr std::array<SteadyStateGroup, 17> kGroups{{
    {"GbState", "State Variables", kFullWidth, true},
    {"GbDriver", "Driver Variables", kLeft, true},
    {"GbGPP", "Photosynthesis", kRight, false},
    {"GbNUptake", "Nitrogen Uptake", kLeft, false},
    {"GbTranslocation", "Retranslocation", kRight, true},
    {"GbNPP", "NPP and Litterfall", kFullWidth, true},
    {"GbSapwood", "Sapwood ", kLeft, true},
    {"GbPResp", "Plant Respiration", kRight, true},
    {"GbRespTemp", "Plant Respiration Temperature Response Function", kRight, false},
    {"GbGrowth", "Growth Parameters", kFullWidth, true},
    {"GbAllocation", "Allocation Parameters", kFullWidth, true},
    {"GbSoilProperties", "Soil Properties", kLeft, false},
    {"GbImmob", "Immobilization", kRight, false},
    {"GbSoilC", "Soil Organic Matter Transformations", kFullWidth, false},
    {"GbSResp", "Soil Respiration", kLeft, false},
    {"GbWaterLeaching", "Water Leaching", kRight, false},
    {"GbDissNH4", "Dissolved NH4", kRight, false},
}};

constexpr SteadyStateField kFields[] = {
    // State Variables
    {kState, "Cf", kEntered, kGbState},
    {kState, "Cw", kEntered, kGbState},
    {kState, "Cr", kEntered, kGbState},
    {kState, "Nf", kEntered, kGbState},
    {kState, "Nw", kEntered, kGbState},
    {kState, "Nr", kEntered, kGbState},
    {kState, "Clf", kEntered, kGbState},
    {kState, "Clw", kEntered, kGbState},
    {kState, "Clr", kEntered, kGbState},
    {kState, "Nlf", kEntered, kGbState},
    {kState, "Nlw", kEntered, kGbState},
    {kState, "Nlr", kEntered, kGbState},
    {kState, "Nnh4", kEntered, kGbState},
    {kState, "Nh", kEntered, kGbState},
    {kState, "Cs", kDerived, kGbState},
    {kState, "Ce", kDerived, kGbState},
    {kState, "Ci", kDerived, kGbState},
    {kState, "Ch", kDerived, kGbState},
    {kState, "Na", kDerived, kGbState},
    // Driver Variables
    {kDriver, "Ca", kShown, kGbDriver},
    {kDriver, "Tamax", kShown, kGbDriver},
    {kDriver, "Tamin", kShown, kGbDriver},
    {kDriver, "I", kShown, kGbDriver},
    {kDriver, "Ppt", kShown, kGbDriver},
    {kDriver, "Dnh4", kShown, kGbDriver},
    {kDriver, "Sp", kShown, kGbDriver},
    {kDriver, "Ss", kShown, kGbDriver},
    // Photosynthesis
    {kProcess, "Ps", kEntered, kGbGPP},
    {kParameter, "daymid", kEntered, kGbGPP},
    {kParameter, "mf", kEntered, kGbGPP},
    {kParameter, "Deltad", kEntered, kGbGPP},
    {kParameter, "kappaL", kEntered, kGbGPP},
    {kParameter, "Ww", kEntered, kGbGPP},
    {kParameter, "Wf", kEntered, kGbGPP},
    {kParameter, "Psiw", kEntered, kGbGPP},
    {kParameter, "Psif", kEntered, kGbGPP},
    {kParameter, "Sc", kDerived, kGbGPP},
    // Nitrogen Uptake
    {kParameter, "qu0", kEntered, kGbNUptake},
    {kParameter, "knh4", kEntered, kGbNUptake},
    {kParameter, "Unh4max", kDerived, kGbNUptake},
    {kProcess, "Unh4", kShown, kGbNUptake},
    // Retranslocation
    {kParameter, "aTau", kEntered, kGbTranslocation},
    {kProcess, "tauN", kShown, kGbTranslocation},
    // NPP and Litterfall
    {kProcess, "NPPf", kEntered, kGbNPP},
    {kProcess, "NPPw", kEntered, kGbNPP},
    {kProcess, "NPPr", kEntered, kGbNPP},
    {kParameter, "sigmaF", kEntered, kGbNPP},
    {kParameter, "sigmaW", kEntered, kGbNPP},
    {kParameter, "sigmaR", kEntered, kGbNPP},
    {kParameter, "AlambdaF", kDerived, kGbNPP},
    {kParameter, "AlambdaW", kDerived, kGbNPP},
    {kParameter, "AlambdaR", kDerived, kGbNPP},
    {kProcess, "NPPt", kShown, kGbNPP},
    {kProcess, "lambdaCFT", kShown, kGbNPP},
    {kProcess, "lambdaCWT", kShown, kGbNPP},
    {kProcess, "lambdaCRT", kShown, kGbNPP},
    {kProcess, "lambdaNFT", kShown, kGbNPP},
    {kProcess, "lambdaNWT", kShown, kGbNPP},
    {kProcess, "lambdaNRT", kShown, kGbNPP},
    // Sapwood
    {kParameter, "h1", kEntered, kGbSapwood},
    {kParameter, "h2", kEntered, kGbSapwood},
    {kProcess, "Csw", kShown, kGbSapwood},
    // Plant Respiration
    {kParameter, "rg", kEntered, kGbPResp},
    {kParameter, "aWR", kEntered, kGbPResp},
    {kParameter, "rm", kDerived, kGbPResp},
    {kProcess, "Rpt", kShown, kGbPResp},
    // Plant Respiration Temperature Response Function
    {kParameter, "gammar", kEntered, kGbRespTemp},
    {kParameter, "Trmax", kEntered, kGbRespTemp},
    {kParameter, "Tropt", kEntered, kGbRespTemp},
    {kProcess, "Hr", kShown, kGbRespTemp},
    // Growth Parameters
    {kParameter, "kGCF", kEntered, kGbGrowth},
    {kParameter, "aGCF", kEntered, kGbGrowth},
    {kParameter, "bGCF", kEntered, kGbGrowth},
    {kParameter, "kGCW", kEntered, kGbGrowth},
    {kParameter, "aGCW", kEntered, kGbGrowth},
    {kParameter, "bGCW", kEntered, kGbGrowth},
    {kParameter, "kGCR", kEntered, kGbGrowth},
    {kParameter, "aGCR", kEntered, kGbGrowth},
    {kParameter, "bGCR", kEntered, kGbGrowth},
    {kParameter, "kGNF", kEntered, kGbGrowth},
    {kParameter, "aGNF", kEntered, kGbGrowth},
    {kParameter, "bGNF", kEntered, kGbGrowth},
    {kParameter, "kGNW", kEntered, kGbGrowth},
    {kParameter, "aGNW", kEntered, kGbGrowth},
    {kParameter, "bGNW", kEntered, kGbGrowth},
    {kParameter, "kGNR", kEntered, kGbGrowth},
    {kParameter, "aGNR", kEntered, kGbGrowth},
    {kParameter, "bGNR", kEntered, kGbGrowth},
    {kParameter, "gCFm", kDerived, kGbGrowth},
    {kParameter, "gCWm", kDerived, kGbGrowth},
    {kParameter, "gCRm", kDerived, kGbGrowth},
    {kParameter, "gNFm", kDerived, kGbGrowth},
    {kParameter, "gNWm", kDerived, kGbGrowth},
    {kParameter, "gNRm", kDerived, kGbGrowth},
    {kProcess, "Gcf", kShown, kGbGrowth},
    {kProcess, "Gcw", kShown, kGbGrowth},
    {kProcess, "Gcr", kShown, kGbGrowth},
    {kProcess, "Gnf", kShown, kGbGrowth},
    {kProcess, "Gnw", kShown, kGbGrowth},
    {kProcess, "Gnr", kShown, kGbGrowth},
    // Allocation Parameters
    {kParameter, "KCa", kEntered, kGbAllocation},
    {kParameter, "KCb", kEntered, kGbAllocation},
    {kParameter, "Kcf", kEntered, kGbAllocation},
    {kParameter, "Kcw", kEntered, kGbAllocation},
    {kParameter, "Kcr", kEntered, kGbAllocation},
    {kParameter, "KNa", kEntered, kGbAllocation},
    {kParameter, "KNb", kEntered, kGbAllocation},
    {kParameter, "Knf", kEntered, kGbAllocation},
    {kParameter, "Knw", kEntered, kGbAllocation},
    {kParameter, "Knr", kEntered, kGbAllocation},
    {kParameter, "aTCW", kEntered, kGbAllocation},
    {kParameter, "aTNW", kEntered, kGbAllocation},
    {kParameter, "aTCF", kDerived, kGbAllocation},
    {kParameter, "aTCR", kDerived, kGbAllocation},
    {kParameter, "aTNF", kDerived, kGbAllocation},
    {kParameter, "aTNR", kDerived, kGbAllocation},
    {kProcess, "Tcf", kShown, kGbAllocation},
    {kProcess, "Tcw", kShown, kGbAllocation},
    {kProcess, "Tcr", kShown, kGbAllocation},
    {kProcess, "Tnf", kShown, kGbAllocation},
    {kProcess, "Tnw", kShown, kGbAllocation},
    {kProcess, "Tnr", kShown, kGbAllocation},
    // Soil Properties
    {kProcess, "Cst", kEntered, kGbSoilProperties},
    {kProcess, "Nst", kEntered, kGbSoilProperties},
    {kParameter, "z", kEntered, kGbSoilProperties},
    {kParameter, "rho", kEntered, kGbSoilProperties},
    // Immobilization
    {kParameter, "kIm", kEntered, kGbImmob},
    {kParameter, "VImax", kDerived, kGbImmob},
    {kParameter, "qI", kDerived, kGbImmob},
    {kProcess, "FNia", kShown, kGbImmob},
    // Soil Organic Matter Transformations
    {kParameter, "Ase", kEntered, kGbSoilC},
    {kParameter, "Aei", kEntered, kGbSoilC},
    {kParameter, "Aie", kEntered, kGbSoilC},
    {kParameter, "Aih", kEntered, kGbSoilC},
    {kProcess, "FCse", kShown, kGbSoilC},
    {kProcess, "FCei", kShown, kGbSoilC},
    {kProcess, "FCie", kShown, kGbSoilC},
    {kProcess, "FCih", kShown, kGbSoilC},
    {kProcess, "FNah", kShown, kGbSoilC},
    {kProcess, "FNai", kShown, kGbSoilC},
    {kProcess, "FClambdaS", kShown, kGbSoilC},
    {kProcess, "FClambdaE", kShown, kGbSoilC},
    {kProcess, "FClambdaI", kShown, kGbSoilC},
    // Soil Respiration
    {kParameter, "Q10d", kEntered, kGbSResp},
    {kParameter, "beta", kEntered, kGbSResp},
    {kParameter, "Ah", kDerived, kGbSResp},
    {kProcess, "Rst", kShown, kGbSResp},
    {kProcess, "Re", kShown, kGbSResp},
    {kProcess, "Rh", kShown, kGbSResp},
    {kProcess, "FNhi", kShown, kGbSResp},
    // Water Leaching
    {kParameter, "p", kEntered, kGbWaterLeaching},
    {kParameter, "Ep", kEntered, kGbWaterLeaching},
    {kProcess, "Qw", kShown, kGbWaterLeaching},
    // Dissolved NH4
    {kParameter, "etanh4", kEntered, kGbDissNH4},
    {kParameter, "Nnh4mx", kDerived, kGbDissNH4},
    {kProcess, "Nnh4aq", kShown, kGbDissNH4},
    {kProcess, "Nnh4s", kShown, kGbDissNH4},
    {kProcess, "Qnh4", kShown, kGbDissNH4},
};

// Every field names a quantity of the catalogue (an unknown symbol fails to compile), and
// entered symbols are unique, so an entry is found by its symbol alone.
constexpr bool FieldsMatchCatalogue() {
  for (const SteadyStateField& f : kFields) {
    switch (f.kind) {
      case kDriver:
        catalogue::DriverIndex(f.symbol);
        break;
      case kState:
        catalogue::StateIndex(f.symbol);
        break;
      case kParameter:
        catalogue::ParamIndex(f.symbol);
        break;
      case kProcess:
        catalogue::ProcessIndex(f.symbol);
        break;
    }
    if (f.group < 0 || f.group >= static_cast<int>(kGroups.size())) return false;
  }
  for (const SteadyStateField& a : kFields)
    for (const SteadyStateField& b : kFields)
      if (&a != &b && a.role == kEntered && b.role == kEntered && a.symbol == b.symbol)
        return false;
  return true;
}
static_assert(FieldsMatchCatalogue());

}  // namespace

std::span<const SteadyStateGroup> SteadyStateGroups() {
  return kGroups;
}

std::span<const SteadyStateField> SteadyStateFields() {
  return kFields;
}

std::string FieldComponentName(const SteadyStateField& field) {
  std::string prefix;
  switch (field.kind) {
    case kState:
      prefix = "MeState";
      break;
    case kDriver:
      prefix = "MeDrive";
      break;
    case kParameter:
      prefix = "MePar_";
      break;
    case kProcess:
      prefix = "Me";
      break;
  }
  return prefix + std::string(field.symbol);
}

std::vector<std::string_view> EntryFieldSymbols() {
  std::vector<std::string_view> symbols;
  for (const SteadyStateField& f : kFields)
    if (f.role == kEntered) symbols.push_back(f.symbol);
  return symbols;
}

const SteadyStateField* FindEntryField(std::string_view symbol) {
  for (const SteadyStateField& f : kFields)
    if (f.role == kEntered && f.symbol == symbol) return &f;
  return nullptr;
}

}  // namespace kvsorv
