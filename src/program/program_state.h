#pragma once
// The one reset of the program's shared state, used by every start-up path and test.

#include <string>

namespace kvsorv {

// Puts the shared state back to how the program starts: default run settings and flags,
// the run mode from the executable's path (none for an empty path), the model tables
// emptied and the catalogue built into them, WaterCoefficient 0, and fresh driver readers
// whose tables carry the drivers' names and units. The installed prompter is left alone.
void ResetProgramState(const std::string& executablePath = {});

}  // namespace kvsorv
