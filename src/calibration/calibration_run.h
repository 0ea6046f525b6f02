#pragma once
// A calibration by a sampler, from its plan to its chains file: the chains' starts drawn and
// evaluated, then generation after generation on every core, each written to the file as it
// finishes. A resumed calibration replays the file's generations and continues to the same
// bits as one never stopped; a cancelled one ends after the generation under way, with every
// finished generation in the file.

#include <cstddef>
#include <optional>
#include <string>

#include "calibration/calibration_model.h"
#include "calibration/chains_file.h"
#include "tasks/feedback.h"

namespace kvsorv::calibration {

struct CalibrationOptions {
  std::string method = "dezs";  // or "am"
  std::string chainsFile;
  bool resume = false;
  std::optional<int> generations;  // in all, instead of the plan's
  std::size_t threads = 1;
  std::string startFrom;  // a fit file: the chains start around its optimum
  std::string version;    // of the program, for the file
};

struct CalibrationOutcome {
  std::size_t generations = 0;                          // in the file at the end
  std::size_t ranNow = 0;                               // of them, run by this call
  std::size_t proposals = 0, accepted = 0, failed = 0;  // of this call
  std::size_t startFailures = 0;  // draws for starts whose runs failed or had zero density
  bool canceled = false;
};

// The most values (states, log-densities, flags) a chains file keeps: about 8 GB.
inline constexpr double kMostChainValues = 1e9;

// The least number of prior draws tried for one chain's start before giving up.
inline constexpr int kStartAttempts = 100;

// Failures: EChainsError for the file; ensemble::EPlanError naming the plan when a resumed
// file was made from another plan, by another method, or when no start with a density
// can be drawn for a chain within kStartAttempts draws; what the target raises.
// `feedback` counts generations and is polled for cancellation between generations.
CalibrationOutcome RunCalibration(const CalibrationModel& model, const CalibrationOptions& options,
                                  Feedback& feedback);

}  // namespace kvsorv::calibration
