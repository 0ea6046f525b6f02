#pragma once
// An ensemble plan: which site to run and how, which parameters vary by which distribution
// and with which rank correlations, which outputs to keep, how many members and the master
// seed. Read from a TOML file.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ensemble/distribution.h"
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

enum class OutputKind { kState, kProcess, kDriver };

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

struct EnsemblePlan {
  std::filesystem::path file;
  std::string paramFile;   // resolved against the plan's directory
  std::string driverFile;  // the first cell's, cell<N>.drr
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
};

// Reads a plan. Symbols are looked up in the global tables (the catalogue must be built).
// Failures: EPlanError naming the file and the entry (an unknown symbol, a distribution with
// impossible arguments, a correlation matrix that is not positive definite, a missing or
// mistyped key, a file that is not TOML).
EnsemblePlan ReadPlan(const std::string& fileName);

// 64-bit FNV-1a of bytes: the plan's fingerprint in results files.
std::uint64_t Fingerprint(std::string_view bytes);

}  // namespace kvsorv::ensemble
