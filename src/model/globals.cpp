#include "model/globals.h"

namespace kvsorv {

TModelDef ModelDef;
statearray States;
drivearray Drivers;
paramarray Params;
processarray Processes;

double WaterCoefficient = 0.0;

int GetParamOffset(int k) {
  int offset = 0;
  for (int j = ModelDef.numstate + 1; j < k; ++j) offset += Processes[j].paramcount;
  return offset;
}

}  // namespace kvsorv
