#pragma once
// Terms of the process equations that depend on drivers and parameters only: soil water,
// canopy water stress, day length, the temperature functions, target C:N ratios and the
// decomposition factor. They hold most of the evaluation's exponentials and logarithms.
// An evaluation computes each of them at its own place in the equation order (so the first
// fault met is the same as always); the integrator computes them once per interval, when
// none of them faults, and hands them to every evaluation of that interval.

#include <optional>

namespace kvsorv {

struct ModelInputs;

struct DriverTerms {
  double W = 0;                      // soil water (mm)
  double Qw = 0;                     // water discharge (m yr-1)
  double theta = 0;                  // relative soil water between wilting point and field capacity
  double dPsi = 0;                   // soil-to-leaf water potential difference (MPa)
  double gc = 0;                     // canopy conductance
  double vgTemperature = 0;          // temperature factor of the carboxylation term of Vg
  double DL = 0;                     // day length term of photosynthesis (hours)
  double sapwoodExponent = 0;        // 1 / (1 - h2)
  double navFraction = 0;            // part of aqueous NH4 available to roots, from discharge
  double Hr = 0;                     // respiration temperature function
  double qtF = 0, qtW = 0, qtR = 0;  // target C:N ratios of foliage, wood, roots
  double Jd = 0;                     // decomposition moisture factor
  double rs = 0;                     // soil rate factor
};

// Each term as the equations compute it; math faults raise the model's error kinds.
double SoilWater(const ModelInputs& in, double G);
double Discharge(const ModelInputs& in, double G);
double RelativeSoilWater(const ModelInputs& in, double W);
double WaterPotentialDrop(const ModelInputs& in, double theta);
double CanopyConductance(const ModelInputs& in, double dPsi);
double CarboxylationTemperatureFactor(const ModelInputs& in);
double DayLength(const ModelInputs& in);
double SapwoodExponent(const ModelInputs& in);
double UptakeAvailableFraction(double Qw);
double RespirationTemperatureFunction(const ModelInputs& in, double Ta);
double TargetCN(const ModelInputs& in, int gC, int bN, int gN, int bC);
double DecompositionMoistureFactor(const ModelInputs& in, double W);
double SoilRateFactor(const ModelInputs& in, double Ts, double Jd);

// All terms for the drivers and parameters of `in` and water coefficient G, or nothing
// when any of them faults (the evaluations then compute and raise it in place).
std::optional<DriverTerms> ComputeDriverTerms(const ModelInputs& in, double G);

}  // namespace kvsorv
