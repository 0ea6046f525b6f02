#pragma once
// A calibration plan: the site and times of an ensemble plan, the parameters to calibrate
// with their priors, the observations to calibrate against and how their errors are taken,
// and the sampler's settings. Read from a TOML file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/observation_table.h"
#include "ensemble/plan.h"

namespace kvsorv::calibration {

// How an observation's error is taken: Gaussian with the given standard deviation, or
// log-normal (for positive stocks: the logarithm of the value is Gaussian).
enum class ErrorModel { kGaussian, kLogNormal };

struct Observation {
  ObservationRow row;
  std::string file;
  ErrorModel model = ErrorModel::kGaussian;
  double sd = 0;           // in the output's units, or of its logarithm (log-normal)
  std::size_t line = 0;    // the run's output line (a position among OutputTimes) it is at
  std::size_t output = 0;  // the position of its symbol among the plan's outputs
};

struct SamplerSettings {
  int chains = 4;
  int generations = 2000;
  int burnIn = 1000;  // generations left out of the posterior
  int thinning = 1;   // of the generations after the burn-in, every thinning-th
  int archiveEvery = 10;
  int adaptAfter = 100;
};

struct CalibrationPlan {
  // The site, times and seed; `parameters` the calibrated ones with their priors; `outputs`
  // the observed ones at their times and those of the plan's [[output]] tables.
  ensemble::EnsemblePlan site;
  std::vector<double> starts;  // of the calibrated parameters; the parameter file's if not given
  std::vector<bool> startGiven;
  std::vector<Observation> observations;
  std::vector<std::string> observationFiles;
  // The prior of a factor by which every error is multiplied, estimated with the parameters.
  std::optional<ensemble::Distribution> errorScale;
  SamplerSettings sampler;
  std::uint64_t hash = 0;  // of the plan's bytes and its observation files' bytes
};

// The name of the estimated error scale among the sampled quantities.
inline constexpr const char* kErrorScaleName = "error_scale";

// The most observations a plan may hold, over all its files.
inline constexpr std::size_t kMostObservations = 1000000;

// Failures: ensemble::EPlanError naming the plan's file and the entry (as ReadPlan; a prior
// that cannot be a prior, a start outside its prior, unknown [sampler] settings), and
// EObservationError naming an observation file and the line (an unknown symbol, an error of
// zero or less, a time at which the run writes no output line, with the nearest output
// times; a non-positive value of a log-normal observation).
CalibrationPlan ReadCalibrationPlan(const std::string& fileName);

// The names of the sampled quantities: the calibrated parameters' symbols, then
// kErrorScaleName when the error scale is estimated.
std::vector<std::string> SampledNames(const CalibrationPlan& plan);

// The prior of each sampled quantity, in the order of SampledNames.
std::vector<ensemble::Distribution> SampledPriors(const CalibrationPlan& plan);

// The default number of chains: at least 4, and at least one per hardware thread.
int DefaultChains();

}  // namespace kvsorv::calibration
