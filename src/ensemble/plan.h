#pragma once
// An ensemble plan: which site to run and how, which parameters vary by which distribution
// and with which rank correlations, which outputs to keep, how many members and the master
// seed. Read from a TOML file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ensemble/distribution.h"
#include "model/catalogue.h"
#include "run/model_run.h"

namespace kvsorv::ensemble {

// A plan that cannot be read or makes no sense: the message names the file and the entry.
class EPlanError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct VariedParameter {
  std::string symbol;
  int index = 0;  // in the parameter table
  Distribution distribution;
};

// A wanted Spearman rank correlation between two varied parameters (their positions).
struct RankCorrelation {
  int a = 0;
  int b = 0;
  double rho = 0.0;
};

// An output kept of every member: a quantity of the output lines at given times (the end
// times of output steps) or at every output line ("yearly").
struct OutputSpec {
  std::string symbol;
  OutputKind kind = OutputKind::kState;
  int index = 0;
  std::vector<double> times;
  bool everyLine = false;
};

// The most steps a plan's run may take (a century of years at a step of 1e-5).
inline constexpr double kMostRunSteps = 1e7;

// Bounds no real plan reaches, so that a file made to stall the reader is refused at once:
// its size before it is parsed (long tables of values belong in a file named by the
// distribution's 'file' key), and the counts of its entries.
inline constexpr std::size_t kLargestPlanBytes = 1 << 20;
inline constexpr std::size_t kMostPlanParameters = 1000;
inline constexpr std::size_t kMostPlanOutputs = 1000;
inline constexpr std::size_t kMostPlanCorrelations = 10000;
inline constexpr std::size_t kMostKeptTimes = 100000;  // of one output

struct EnsemblePlan {
  std::filesystem::path file;
  std::string paramFile;                // resolved against the plan's directory
  std::string driverFile;               // the first cell's, cell<N>.drr
  std::vector<std::string> tableFiles;  // the files 'table' distributions read
  int cells = 1;
  RunTimes times;
  std::vector<VariedParameter> parameters;
  std::vector<RankCorrelation> correlations;
  std::vector<OutputSpec> outputs;
  int members = 0;
  std::uint64_t seed = 0;
  double oatStep = 0.01;  // relative change of a parameter in a one-at-a-time design
  int morrisLevels = 4;
  std::uint64_t hash = 0;  // of the plan file's bytes
  // A calibration's posterior the plan draws from: its parameters come first among
  // `parameters` (each with the table of its draws), and member i takes the whole row
  // posteriorRows[PosteriorChoice(...)[i]], keeping the parameters' joint values.
  std::string posteriorFile;
  std::vector<std::vector<double>> posteriorRows;
  std::size_t posteriorColumns = 0;
};

// Reads a plan. Symbols are looked up in the global tables (the catalogue must be built).
// Failures: EPlanError naming the file and the entry (an unknown symbol, a distribution with
// impossible arguments, a correlation matrix that is not positive definite, a missing,
// mistyped or unknown key, an entry given twice, a file that is not TOML or beyond the
// bounds above).
EnsemblePlan ReadPlan(const std::string& fileName);

// Refuses, with EPlanError naming the file, a plan that keeps no output: its members would
// run and record nothing. (A plan being written may have none yet.)
void RequireOutputs(const EnsemblePlan& plan);

// 64-bit FNV-1a of bytes: the plan's fingerprint in results files.
std::uint64_t Fingerprint(std::string_view bytes);

}  // namespace kvsorv::ensemble
