#include "bench_site.h"
#include "program/program_files.h"

#include <string>

#include "files/driver_file.h"
#include "files/param_file.h"
#include "program/global_tables.h"
#include "program/program_state.h"

namespace kvsorv::bench {

void LoadExampleForest() {
  ResetProgramState();
  const std::string examples = std::string(KVSORV_SOURCE_DIR) + "/examples/";
  double residual = 0.0;
  ReadParamFile(examples + "cell1-start.par", ModelDef.numparam, Params, ModelDef.numstate, States,
                residual);
  LookupDriversAt(examples + "cell1.drr", Drivers, 0.0, 2.0);
  WaterCoefficient = 10.0;
}

}  // namespace kvsorv::bench
