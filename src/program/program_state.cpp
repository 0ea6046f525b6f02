#include "program/program_state.h"

#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/run_modes.h"
#include "program/run_settings.h"

namespace kvsorv {

void ResetProgramState(const std::string& executablePath) {
  RunSettings = TRunSettings{};
  RunModes = executablePath.empty() ? TRunModes{} : RunModesFromExecutableName(executablePath);
  ModelDef = TModelDef{};
  States = statearray{};
  Drivers = drivearray{};
  Params = paramarray{};
  Processes = processarray{};
  WaterCoefficient = 0.0;
  BuildModelCatalogue();
  MainDriverReader = DriverReader{};
  BaseDriverReader = DriverReader{};
  MainDriverReader.previousRecord = MainDriverReader.nextRecord = Drivers;
}

}  // namespace kvsorv
