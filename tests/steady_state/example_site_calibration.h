#pragma once
// The example forest calibrated as a user would in the steady-state window: every
// observation and fixed parameter typed in order (each entry solves once), three closing
// entries computed from the values shown, then solving again until the status is green.

#include "steady_state/steady_state_session.h"

namespace kvsorv::testing {

// Humus carbon a run of cell 1 starts from (g C m-2).
inline constexpr double kExampleCellHumusC = 5.1558 + 649.24 + 8013.2;

struct CalibrationOutcome {
  int solves = 0;          // every solve: entries, closing entries and repeats
  int repeatSolves = 0;    // solves without a new entry after the closing entries
  bool steady = false;     // status green at the end
  double largestRate = 0;  // largest |rate of change| in the final new set
};

// Follows the site's recipe on an opened session (in InteractiveMode, so a failed solve is
// shown and the calibration goes on). Gives up after 10 repeat solves.
CalibrationOutcome CalibrateExampleSite(SteadyStateSession& session);

}  // namespace kvsorv::testing
